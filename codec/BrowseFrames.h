#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parlino {

// Browser protocol frames carried by mailslot writes to \MAILSLOT\BROWSE.
enum class BrowseOpcode : uint8_t {
    HostAnnouncement = 0x01,
    AnnouncementRequest = 0x02,
    DomainAnnouncement = 0x0C,
    LocalMasterAnnouncement = 0x0F
};

constexpr uint32_t kServerTypeWorkstation = 0x00000001;
constexpr uint32_t kServerTypeServer = 0x00000002;
constexpr uint32_t kServerTypeServerUnix = 0x00000800; // a Samba server
constexpr uint32_t kServerTypeNt = 0x00001000;
constexpr size_t kMaxBrowseName = 15;
constexpr size_t kMaxBrowseComment = 42;

// HostAnnouncement, LocalMasterAnnouncement and DomainAnnouncement share one layout: for a domain,
// name is the workgroup and comment the local master browser's name. An AnnouncementRequest carries
// only its opcode and the sender's name in comment.
struct BrowseFrame
{
    BrowseOpcode opcode = BrowseOpcode::HostAnnouncement;
    uint32_t periodicity = 0; // milliseconds until the sender's next announcement
    std::string name;
    uint8_t versionMajor = 6;
    uint8_t versionMinor = 1;
    uint32_t serverType = 0;
    std::string comment;

    bool operator==(const BrowseFrame&) const = default;
};

std::vector<uint8_t> EncodeBrowseFrame(const BrowseFrame& frame);
// Nullopt for an unknown opcode, a short frame, or a name or comment without its terminator.
std::optional<BrowseFrame> DecodeBrowseFrame(const uint8_t* data, size_t size);

} // namespace parlino
