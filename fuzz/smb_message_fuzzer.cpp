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
        const auto again = EncodeSessionRequest(*request);
        if (DecodeSessionRequest(again.data() + kSessionHeaderSize, again.size() - kSessionHeaderSize) != request)
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
