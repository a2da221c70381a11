// Feeds arbitrary bytes to the browse-frame and name service decoders: nothing may crash or read out of
// bounds, and whatever decodes must encode back to bytes that decode the same.
#include "codec/BrowseFrames.h"
#include "codec/NameQuery.h"
#include "codec/NameRegistration.h"
#include "codec/NodeStatus.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace parlino;
    if (const auto frame = DecodeBrowseFrame(data, size)) {
        const auto again = EncodeBrowseFrame(*frame);
        if (DecodeBrowseFrame(again.data(), again.size()) != frame)
            std::abort();
    }
    if (const auto query = DecodeNameQuery(data, size)) {
        const auto again = EncodeNameQuery(*query);
        const auto decoded = DecodeNameQuery(again.data(), again.size());
        if (!decoded || decoded->transactionId != query->transactionId || decoded->name.suffix != query->name.suffix)
            std::abort();
        EncodePositiveNameQueryResponse(*query, 0x7F000001u);
    }
    if (const auto request = DecodeNameRegistrationRequest(data, size)) {
        const auto again = EncodeNameRegistrationRequest(*request);
        if (DecodeNameRegistrationRequest(again.data(), again.size()) != request)
            std::abort();
    }
    if (const auto response = DecodeNameServiceResponse(data, size)) {
        const auto again = EncodeNameServiceResponse(*response);
        if (DecodeNameServiceResponse(again.data(), again.size()) != response)
            std::abort();
    }
    if (const auto status = DecodeNodeStatusRequest(data, size)) {
        const auto again = EncodeNodeStatusRequest(*status);
        if (DecodeNodeStatusRequest(again.data(), again.size()) != status)
            std::abort();
        EncodeNodeStatusResponse(*status, {{status->name, false}});
    }
    return 0;
}
