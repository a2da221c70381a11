#include "codec/SmbHeader.h"

#include <cstring>

namespace parlino {
namespace {

constexpr size_t kCommandAt = 4;
constexpr size_t kStatusAt = 5;
constexpr size_t kFlagsAt = 9;
constexpr size_t kFlags2At = 10;
constexpr size_t kPidHighAt = 12;
constexpr size_t kTidAt = 24;
constexpr size_t kPidLowAt = 26;
constexpr size_t kUidAt = 28;
constexpr size_t kMidAt = 30;

} // namespace

Bytes EncodeSmbHeader(uint8_t command, const SmbIds& ids, uint32_t status, uint8_t flags)
{
    Bytes out = {0xFF, 'S', 'M', 'B', command};
    PutLittleEndian32(out, status);
    out.push_back(flags);
    PutLittleEndian16(out, 0); // Flags2
    PutLittleEndian16(out, ids.pidHigh);
    out.resize(kTidAt, 0); // security features, reserved
    for (const uint16_t id : {ids.tid, ids.pidLow, ids.uid, ids.mid})
        PutLittleEndian16(out, id);
    return out;
}

std::optional<SmbHeader> DecodeSmbHeader(const uint8_t* data, size_t size)
{
    if (size < kSmbHeaderLength + 1 || std::memcmp(data, "\xFFSMB", 4) != 0)
        return std::nullopt;
    const SmbIds ids{GetLittleEndian16(data + kTidAt), GetLittleEndian16(data + kPidHighAt),
                     GetLittleEndian16(data + kPidLowAt), GetLittleEndian16(data + kUidAt),
                     GetLittleEndian16(data + kMidAt)};
    return SmbHeader{data[kCommandAt], GetLittleEndian32(data + kStatusAt), data[kFlagsAt],
                     GetLittleEndian16(data + kFlags2At), ids};
}

} // namespace parlino
