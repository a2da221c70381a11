#include "codec/NetbiosDatagram.h"

#include "codec/ByteOrder.h"
#include "codec/MailslotPath.h"

namespace parlino {
namespace {

constexpr uint8_t kEncodedLength = 0x20;
constexpr uint8_t kFirstFragment = 0x02;
constexpr uint8_t kMoreFragments = 0x01;

} // namespace

std::string ComparableNetbiosName(std::string name)
{
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0'))
        name.pop_back();
    return UpperAscii(std::move(name));
}

std::vector<uint8_t> EncodeNetbiosName(const NetbiosName& name)
{
    std::string padded = UpperAscii(name.name.substr(0, kNetbiosNameLength));
    padded.resize(kNetbiosNameLength, ' ');
    padded.push_back(static_cast<char>(name.suffix));

    std::vector<uint8_t> encoded;
    encoded.reserve(kEncodedNameSize);
    encoded.push_back(kEncodedLength);
    for (const char c : padded) {
        const auto byte = static_cast<uint8_t>(c);
        encoded.push_back(static_cast<uint8_t>('A' + (byte >> 4)));
        encoded.push_back(static_cast<uint8_t>('A' + (byte & 0x0F)));
    }
    encoded.push_back(0);
    return encoded;
}

std::optional<NetbiosName> DecodeNetbiosName(const uint8_t* data, size_t size)
{
    if (size < kEncodedNameSize || data[0] != kEncodedLength || data[kEncodedNameSize - 1] != 0)
        return std::nullopt;
    std::string raw;
    raw.reserve(kNetbiosNameLength + 1);
    for (size_t i = 1; i < kEncodedNameSize - 1; i += 2) {
        const uint8_t high = data[i] - 'A';
        const uint8_t low = data[i + 1] - 'A';
        if (data[i] < 'A' || data[i + 1] < 'A' || high > 15 || low > 15)
            return std::nullopt;
        raw.push_back(static_cast<char>((high << 4) | low));
    }
    NetbiosName name;
    name.suffix = static_cast<uint8_t>(raw.back());
    raw.pop_back();
    while (!raw.empty() && raw.back() == ' ')
        raw.pop_back();
    name.name = raw;
    return name;
}

std::vector<uint8_t> EncodeDatagram(const NetbiosDatagram& datagram)
{
    if (datagram.userData.size() > kMaxDatagramUserData)
        return {};
    const auto source = EncodeNetbiosName(datagram.source);
    const auto destination = EncodeNetbiosName(datagram.destination);
    std::vector<uint8_t> frame;
    frame.reserve(kDatagramHeaderSize + 2 * kEncodedNameSize + datagram.userData.size());
    frame.push_back(static_cast<uint8_t>(datagram.type));
    frame.push_back(datagram.flags);
    PutBigEndian16(frame, datagram.id);
    PutBigEndian32(frame, datagram.sourceAddress);
    PutBigEndian16(frame, datagram.sourcePort);
    PutBigEndian16(frame, static_cast<uint16_t>(source.size() + destination.size() + datagram.userData.size()));
    PutBigEndian16(frame, 0); // packet offset: never fragmented
    frame.insert(frame.end(), source.begin(), source.end());
    frame.insert(frame.end(), destination.begin(), destination.end());
    frame.insert(frame.end(), datagram.userData.begin(), datagram.userData.end());
    return frame;
}

std::optional<NetbiosDatagram> DecodeDatagram(const uint8_t* data, size_t size)
{
    if (size < kDatagramHeaderSize + 2 * kEncodedNameSize)
        return std::nullopt;
    const uint8_t type = data[0];
    if (type != 0x10 && type != 0x11 && type != 0x12)
        return std::nullopt;
    NetbiosDatagram datagram;
    datagram.type = static_cast<DatagramType>(type);
    datagram.flags = data[1];
    if (!(datagram.flags & kFirstFragment) || (datagram.flags & kMoreFragments))
        return std::nullopt;
    datagram.id = GetBigEndian16(data + 2);
    datagram.sourceAddress = GetBigEndian32(data + 4);
    datagram.sourcePort = GetBigEndian16(data + 8);
    const size_t length = GetBigEndian16(data + 10);
    const uint16_t offset = GetBigEndian16(data + 12);
    // Longer than one packet carries: it never came as one, and would not encode back.
    if (offset != 0 || length < 2 * kEncodedNameSize || length > 2 * kEncodedNameSize + kMaxDatagramUserData ||
        kDatagramHeaderSize + length > size)
        return std::nullopt;
    const uint8_t* names = data + kDatagramHeaderSize;
    auto source = DecodeNetbiosName(names, length);
    auto destination = DecodeNetbiosName(names + kEncodedNameSize, length - kEncodedNameSize);
    if (!source || !destination)
        return std::nullopt;
    datagram.source = std::move(*source);
    datagram.destination = std::move(*destination);
    const uint8_t* user = names + 2 * kEncodedNameSize;
    datagram.userData.assign(user, data + kDatagramHeaderSize + length);
    return datagram;
}

} // namespace parlino
