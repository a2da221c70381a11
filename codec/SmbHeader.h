#pragma once

#include "codec/ByteOrder.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace parlino {

// The SMB1 header that starts every SMB, whether a mailslot write in a datagram or a message command on a session:
// "\xFFSMB", the command, Status, Flags, Flags2 and the ids, 32 bytes in all, WordCount after it.
constexpr size_t kSmbHeaderLength = 32;

// The header fields a response echoes.
struct SmbIds
{
    uint16_t tid = 0;
    uint16_t pidHigh = 0;
    uint16_t pidLow = 0;
    uint16_t uid = 0;
    uint16_t mid = 0;

    bool operator==(const SmbIds&) const = default;
};

struct SmbHeader
{
    uint8_t command = 0;
    uint32_t status = 0;
    uint8_t flags = 0;
    uint16_t flags2 = 0;
    SmbIds ids;
};

// Flags2 is 0: DOS errors, no Unicode.
Bytes EncodeSmbHeader(uint8_t command, const SmbIds& ids = {}, uint32_t status = 0, uint8_t flags = 0);
// Nullopt unless the frame starts with an SMB1 header and holds its WordCount.
std::optional<SmbHeader> DecodeSmbHeader(const uint8_t* data, size_t size);

} // namespace parlino
