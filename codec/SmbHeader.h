#pragma once

#include "codec/ByteOrder.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace parlino {

// The SMB1 header that starts every SMB, whether a mailslot write in a datagram or a message command on a session:
// "\xFFSMB", the command, Status, Flags, Flags2 and the ids, 32 bytes in all, WordCount after it.
constexpr size_t kSmbHeaderLength = 32;
// Flags: the SMB is a response. Flags2: Status holds an NT status code rather than a DOS error.
constexpr uint8_t kSmbReplyFlag = 0x80;
constexpr uint16_t kSmbNtStatusFlag = 0x4000;

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

// A header as the codecs read it: of Flags and Flags2, only the bits above matter here.
struct SmbHeader
{
    uint8_t command = 0;
    uint32_t status = 0;
    bool reply = false;
    bool ntStatus = false;
    SmbIds ids;
};

// The parameter words and data bytes after the header.
struct SmbBody
{
    uint8_t wordCount = 0;
    const uint8_t* words = nullptr;
    const uint8_t* bytes = nullptr;
    const uint8_t* end = nullptr;
};

// Flags2 is 0: DOS errors, no Unicode.
Bytes EncodeSmbHeader(uint8_t command, const SmbIds& ids = {}, uint32_t status = 0, uint8_t flags = 0);
// Nullopt unless the frame starts with an SMB1 header and holds its WordCount.
std::optional<SmbHeader> DecodeSmbHeader(const uint8_t* data, size_t size);
// Nullopt when the frame is shorter than a header or WordCount or ByteCount runs past its end.
std::optional<SmbBody> DecodeSmbBody(const uint8_t* data, size_t size);

// A reply's header and body; nullopt for a request and for a frame whose counts point outside it.
struct SmbReplyFrame
{
    SmbHeader header;
    SmbBody body;
};
std::optional<SmbReplyFrame> DecodeSmbReplyFrame(const uint8_t* data, size_t size);

} // namespace parlino
