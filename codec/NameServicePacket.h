#pragma once

#include "codec/ByteOrder.h"
#include "codec/NetbiosDatagram.h"

#include <cstddef>
#include <cstdint>

namespace parlino {

// The parts every NetBIOS name service packet shares (RFC 1002, 4.2.1), for the codecs of its operations.
namespace name_service {

constexpr size_t kHeaderSize = 12;
// The flag word: a response bit, the operation, the header flags, and the outcome of an answer.
constexpr uint16_t kResponse = 0x8000;
constexpr int kOpcodeShift = 11;
constexpr uint16_t kAuthoritative = 0x0400;
constexpr uint16_t kRecursionDesired = 0x0100;
constexpr uint16_t kRecursionAvailable = 0x0080;
constexpr uint16_t kBroadcast = 0x0010;
constexpr uint16_t kReturnCodeMask = 0x000F;
// Record types and the one class.
constexpr uint16_t kTypeNull = 0x000A;
constexpr uint16_t kTypeNb = 0x0020;
constexpr uint16_t kTypeNodeStatus = 0x0021;
constexpr uint16_t kClassIn = 0x0001;

inline uint8_t Opcode(uint16_t flags)
{
    return static_cast<uint8_t>((flags >> kOpcodeShift) & 0x0F);
}

inline void PutHeader(Bytes& out, uint16_t id, uint16_t flags, uint16_t questions, uint16_t answers,
                      uint16_t additional)
{
    for (const uint16_t field : {id, flags, questions, answers, uint16_t{0}, additional})
        PutBigEndian16(out, field);
}

// A name with its record type and class, as questions and records start.
inline void PutName(Bytes& out, const NetbiosName& name, uint16_t type)
{
    const Bytes encoded = EncodeNetbiosName(name);
    out.insert(out.end(), encoded.begin(), encoded.end());
    PutBigEndian16(out, type);
    PutBigEndian16(out, kClassIn);
}

} // namespace name_service

// What a name service packet asks for (RFC 1002, 4.2.1.1).
enum class NameOpcode : uint8_t {
    Query = 0,
    Registration = 5,
    Release = 6,
    WaitForAcknowledgement = 7,
    Refresh = 8 // RFC 1002's code; Windows sends 9, and Samba's nmbd takes both
};

} // namespace parlino
