// Feeds arbitrary bytes to the browse-frame and name-query decoders: nothing may crash or read out of
// bounds, and whatever decodes must encode back to bytes that decode the same.
#include "codec/BrowseFrames.h"
#include "codec/NameQuery.h"

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
    return 0;
}
