#include "codec/SessionService.h"

namespace parlino {
namespace {

constexpr uint8_t kLengthExtension = 0x01;

bool KnownType(uint8_t type)
{
    return type == 0x00 || (type >= 0x81 && type <= 0x85);
}

} // namespace

std::optional<SessionHeader> DecodeSessionHeader(const uint8_t* data, size_t size)
{
    if (size < kSessionHeaderSize || !KnownType(data[0]) || (data[1] & ~kLengthExtension) != 0)
        return std::nullopt;
    const size_t length = (static_cast<size_t>(data[1] & kLengthExtension) << 16) | GetBigEndian16(data + 2);
    return SessionHeader{static_cast<SessionPacketType>(data[0]), length};
}

std::optional<SessionRequest> DecodeSessionRequest(const uint8_t* payload, size_t size)
{
    if (size != 2 * kEncodedNameSize)
        return std::nullopt;
    auto called = DecodeNetbiosName(payload, kEncodedNameSize);
    auto calling = DecodeNetbiosName(payload + kEncodedNameSize, kEncodedNameSize);
    if (!called || !calling)
        return std::nullopt;
    return SessionRequest{std::move(*called), std::move(*calling)};
}

Bytes EncodeSessionPacket(SessionPacketType type, const Bytes& payload)
{
    Bytes packet = {static_cast<uint8_t>(type), static_cast<uint8_t>((payload.size() >> 16) & kLengthExtension)};
    PutBigEndian16(packet, static_cast<uint16_t>(payload.size()));
    packet.insert(packet.end(), payload.begin(), payload.end());
    return packet;
}

Bytes EncodeSessionRequest(const SessionRequest& request)
{
    Bytes names = EncodeNetbiosName(request.called);
    const Bytes calling = EncodeNetbiosName(request.calling);
    names.insert(names.end(), calling.begin(), calling.end());
    return EncodeSessionPacket(SessionPacketType::Request, names);
}

Bytes EncodeNegativeSessionResponse(SessionRefusal refusal)
{
    return EncodeSessionPacket(SessionPacketType::NegativeResponse, {static_cast<uint8_t>(refusal)});
}

} // namespace parlino
