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
    // Names travel in upper case, so what decodes must encode to bytes that decode and encode to the same bytes.
    if (const auto request = DecodeNameRegistrationRequest(data, size)) {
        const auto again = EncodeNameRegistrationRequest(*request);
        const auto decoded = DecodeNameRegistrationRequest(again.data(), again.size());
        if (!decoded || EncodeNameRegistrationRequest(*decoded) != again)
            std::abort();
    }
    if (const auto response = DecodeNameServiceResponse(data, size)) {
        const auto again = EncodeNameServiceResponse(*response);
        const auto decoded = DecodeNameServiceResponse(again.data(), again.size());
        if (!decoded || EncodeNameServiceResponse(*decoded) != again)
            std::abort();
    }
    if (const auto status = DecodeNodeStatusRequest(data, size)) {
        const auto again = EncodeNodeStatusRequest(*status);
        const auto decoded = DecodeNodeStatusRequest(again.data(), again.size());
        if (!decoded || EncodeNodeStatusRequest(*decoded) != again)
            std::abort();
        EncodeNodeStatusResponse(*status, {{status->name, false}});
    }
    // Read as the answer to a query of the name it carries: a name server's answer must stay within the frame,
    // and a negative answer encoded for that query must decode as one.
    if (size >= 12 + kEncodedNameSize)
        if (auto name = DecodeNetbiosName(data + 12, kEncodedNameSize)) {
            const NameQuery asked{static_cast<uint16_t>(data[0] << 8 | data[1]), std::move(*name), false};
            DecodeNameQueryResponse(data, size, asked);
            const auto negative = EncodeNegativeNameQueryResponse(asked);
            const auto told = DecodeNameQueryResponse(negative.data(), negative.size(), asked);
            if (!told || !told->nameUnknown || told->address)
                std::abort();
        }
    return 0;
}
