#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parlino {

// NetBIOS-over-TCP/IP datagram service frames (RFC 1002, 4.4), without scope.
enum class DatagramType : uint8_t { DirectUnique = 0x10, DirectGroup = 0x11, Broadcast = 0x12 };

// Names hold 15 bytes; the sixteenth tells the service.
constexpr size_t kNetbiosNameLength = 15;

enum NetbiosSuffix : uint8_t {
    kWorkstationSuffix = 0x00,
    kMsBrowseSuffix = 0x01,
    kMessengerSuffix = 0x03,
    kDomainMasterSuffix = 0x1B,
    kMasterBrowserSuffix = 0x1D,
    kBrowserElectionSuffix = 0x1E,
    kServerSuffix = 0x20
};

struct NetbiosName
{
    std::string name; // up to 15 bytes, trailing blanks stripped; upper case when encoded
    uint8_t suffix = 0;

    bool operator==(const NetbiosName&) const = default;
};

struct NetbiosDatagram
{
    DatagramType type = DatagramType::DirectUnique;
    uint8_t flags = 0x0A; // first fragment, M-node
    uint16_t id = 0;
    uint32_t sourceAddress = 0;
    uint16_t sourcePort = 138;
    NetbiosName source;
    NetbiosName destination;
    std::vector<uint8_t> userData;

    bool operator==(const NetbiosDatagram&) const = default;
};

constexpr size_t kDatagramHeaderSize = 14;
constexpr size_t kEncodedNameSize = 34;
// What one IPv4 UDP packet carries: 65,535 bytes less the IP (20) and UDP (8) headers.
constexpr size_t kMaxUdpPayload = 65535 - 20 - 8;
// The user data of the largest datagram: it is never fragmented, so it fits one packet with its header and names.
constexpr size_t kMaxDatagramUserData = kMaxUdpPayload - kDatagramHeaderSize - 2 * kEncodedNameSize;

// A name as it is compared: upper case, without the blanks and NULs that pad it to its field.
std::string ComparableNetbiosName(std::string name);

// The 34-byte first-level encoding: length 0x20, 32 letters, 0x00.
std::vector<uint8_t> EncodeNetbiosName(const NetbiosName& name);
// Decodes the name at data[0..]; nullopt when it is not a well-formed first-level name without scope.
std::optional<NetbiosName> DecodeNetbiosName(const uint8_t* data, size_t size);

// Empty when the user data is longer than kMaxDatagramUserData: such a datagram fits no packet.
std::vector<uint8_t> EncodeDatagram(const NetbiosDatagram& datagram);
// Nullopt for anything but a whole, unfragmented direct or broadcast datagram.
std::optional<NetbiosDatagram> DecodeDatagram(const uint8_t* data, size_t size);

} // namespace parlino
