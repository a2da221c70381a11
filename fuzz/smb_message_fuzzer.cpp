// Feeds arbitrary bytes to the session-service and SMB message decoders: nothing may crash or read out of
// bounds, and whatever decodes must encode back to bytes that decode the same.
#include "codec/SessionService.h"
#include "codec/SmbMessage.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace parlino;
    if (const auto header = DecodeSessionHeader(data, size); header && header->length > kMaxSessionPayload)
        std::abort();
    if (const auto request = DecodeSessionRequest(data, size)) {
        // Names are upper-cased when encoded, so what is encoded once must come back unchanged.
        const auto RoundTrip = [](const SessionRequest& names) {
            const auto packet = EncodeSessionRequest(names);
            return DecodeSessionRequest(packet.data() + kSessionHeaderSize, packet.size() - kSessionHeaderSize);
        };
        const auto once = RoundTrip(*request);
        if (!once || RoundTrip(*once) != once)
            std::abort();
    }
    if (const auto request = DecodeSmbMessageRequest(data, size)) {
        const auto again = EncodeSmbMessageRequest(*request);
        if (DecodeSmbMessageRequest(again.data(), again.size()) != request)
            std::abort();
        const auto response = EncodeSmbMessageResponse(data[4], request->ids, 0, request->groupId);
        if (!DecodeSmbMessageResponse(response.data(), response.size()))
            std::abort();
    }
    DecodeSmbMessageResponse(data, size);
    return 0;
}
