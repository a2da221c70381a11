#pragma once

#include "codec/NetbiosDatagram.h"
#include "platform/HostNameClaims.h"
#include "platform/InboxMailslotService.h"
#include "platform/UdpNetwork.h"
#include "transport/ThisComputer.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace parlino {

// Mailslots carried as SMB mailslot writes in NetBIOS datagrams over UDP: this computer's inboxes receive
// the datagrams addressed to it, and writes to "\\TARGET\mailslot\NAME" go out as broadcasts, or straight to a
// computer known to lie beyond a router, which no broadcast reaches. The inboxes
// and the names belong to whoever composes the messenger, so that other routes can deliver too.
class NbtMailslotService final : public InboxMailslotService
{
public:
    // Whether a target names a workgroup or domain rather than a computer.
    using GroupLookup = std::function<bool(const std::string& name)>;
    // The address of a computer known to lie beyond a router, without waiting for anyone; else nullopt.
    using RoutedLookup = std::function<std::optional<uint32_t>(const std::string& name)>;

    NbtMailslotService(UdpNetwork& network, HostNameClaims& claims, LocalMailslots& inboxes, const ThisComputer& names,
                       uint16_t port);
    ~NbtMailslotService() override;

    void SetGroupLookup(GroupLookup lookup);
    void SetRoutedLookup(RoutedLookup lookup);

    MailslotHandle CreateMailslot(const std::string& path, uint32_t maxMessageSize, uint32_t readTimeout) override;
    MailslotHandle CreateFile(const std::string& path) override;
    bool WriteFile(MailslotHandle handle, const void* data, uint32_t bytesToWrite, uint32_t* bytesWritten) override;
    bool CloseHandle(MailslotHandle handle) override;

    // Where a datagram for this target goes: the destination name and the datagram type.
    struct Route
    {
        NetbiosName destination;
        DatagramType type;
    };
    Route RouteTo(const std::string& target) const;

private:
    struct RemoteFile
    {
        std::string target;
        std::string slot;
    };
    void OnFrame(const uint8_t* data, size_t size);

    UdpNetwork& network_;
    HostNameClaims& claims_;
    const ThisComputer& names_;
    const uint16_t port_;

    mutable std::mutex mutex_;
    GroupLookup groupLookup_;
    RoutedLookup routedLookup_;
    std::unique_ptr<UdpEndpoint> endpoint_;
    std::map<MailslotHandle, std::unique_ptr<HostNameClaims::Claim>> ownedSlots_;
    std::map<MailslotHandle, RemoteFile> files_;
    std::atomic<uint16_t> nextDatagramId_;
};

} // namespace parlino
