#pragma once

#include "platform/UdpNetwork.h"
#include "platform/UniqueFd.h"

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace parlino {

// UDP over the kernel's sockets. Interface entries are names ("eth0", "lo") or IPv4 addresses,
// optionally with a "/bits" or "/a.b.c.d" mask, as in smb.conf; an empty list selects every interface.
class LinuxUdpNetwork final : public UdpNetwork
{
public:
    explicit LinuxUdpNetwork(std::vector<std::string> interfaces);
    ~LinuxUdpNetwork() override;

    std::unique_ptr<UdpEndpoint> Listen(uint16_t port, Receiver receiver) override;
    bool Broadcast(uint16_t port, const FrameBuilder& build) override;
    bool SendTo(uint32_t address, uint16_t port, const Bytes& frame, uint16_t fromPort) override;
    bool SendUnicast(uint32_t address, uint16_t port, const FrameBuilder& build) override;
    bool OnLocalSubnet(uint32_t address) override;

    struct Target
    {
        uint32_t localAddress;
        uint32_t broadcastAddress;
        uint32_t netmask;
    };
    // The broadcast targets of the selected interfaces that are up; with none selected, of every interface
    // (127.255.255.255 when none is up).
    std::vector<Target> BroadcastTargets() const;
    // Whether the address is on the network of a selected interface, or beyond a router that the kernel
    // reaches through one; every address is when none is selected.
    bool Reaches(uint32_t address);

private:
    class PortReader;
    class Listener;
    std::unique_ptr<PortReader> OpenReader(uint16_t port);
    void CloseIfUnused(uint16_t port);
    // Call with socketsMutex_ held.
    int SendSocket(uint16_t fromPort);

    // Reading the interfaces costs more than sending; a second's delay in seeing a new one is fine.
    static constexpr std::chrono::seconds kTargetsFreshFor{1};
    // BroadcastTargets as read at most kTargetsFreshFor ago; shared, so that a burst of frames copies nothing.
    std::shared_ptr<const std::vector<Target>> CachedTargets();
    // Interfaces given confine the program to their networks: what comes from elsewhere is neither sent to
    // nor heard (nor answered).
    bool Confined() const { return !interfaces_.empty(); }

    std::vector<std::string> interfaces_;
    std::mutex targetsMutex_;
    std::shared_ptr<const std::vector<Target>> cachedTargets_;
    std::chrono::steady_clock::time_point targetsReadAt_;
    std::mutex socketsMutex_;
    std::map<uint16_t, std::unique_ptr<PortReader>> readers_;
    UniqueFd anySocket_;
};

} // namespace parlino
