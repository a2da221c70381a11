#include "codec/Rtf.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// Whatever the bytes, reading never crashes or hangs, and what was read survives a write and a second read.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto document = parlino::rtf::Read(bytes);
    if (!document)
        return 0;
    const std::string written = parlino::rtf::Write(*document);
    const auto again = parlino::rtf::Read(written);
    if (!again || parlino::rtf::Write(*again) != written)
        std::abort();
    return 0;
}
