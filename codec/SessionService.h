#pragma once

#include "codec/ByteOrder.h"
#include "codec/NetbiosDatagram.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace parlino {

// NetBIOS session service packets (RFC 1002, 4.3), without scope: a 4-byte header TYPE, FLAGS (bit 0 is
// the seventeenth bit of LENGTH), LENGTH (big-endian), then LENGTH bytes.
enum class SessionPacketType : uint8_t {
    Message = 0x00,
    Request = 0x81,
    PositiveResponse = 0x82,
    NegativeResponse = 0x83,
    RetargetResponse = 0x84,
    KeepAlive = 0x85
};

// The error byte of a negative session response, of the refusals this program gives.
enum class SessionRefusal : uint8_t { CalledNameNotPresent = 0x82, InsufficientResources = 0x83, Unspecified = 0x8F };

constexpr size_t kSessionHeaderSize = 4;
constexpr size_t kMaxSessionPayload = 0x1FFFF;

struct SessionHeader
{
    SessionPacketType type;
    size_t length; // of what follows the header
};

struct SessionRequest
{
    NetbiosName called;
    NetbiosName calling;

    bool operator==(const SessionRequest&) const = default;
};

// The header at data[0..3]; nullopt for fewer than 4 bytes, an unknown type or reserved flag bits set.
std::optional<SessionHeader> DecodeSessionHeader(const uint8_t* data, size_t size);
// Nullopt for a payload that is not exactly two names without scope.
std::optional<SessionRequest> DecodeSessionRequest(const uint8_t* payload, size_t size);

// A whole packet: header and payload (at most kMaxSessionPayload bytes).
Bytes EncodeSessionPacket(SessionPacketType type, const Bytes& payload = {});
Bytes EncodeSessionRequest(const SessionRequest& request);
Bytes EncodeNegativeSessionResponse(SessionRefusal refusal);

} // namespace parlino
