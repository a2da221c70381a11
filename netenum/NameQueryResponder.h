#pragma once

#include "codec/NameQuery.h"
#include "codec/NodeStatus.h"
#include "platform/UdpNetwork.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace parlino {

// Answers the queries for this computer's names (workstation, messenger, server), so that senders
// that resolve a name before writing to it find this computer; and node status requests (for "*" or this
// computer's name) with the names given, so that `nmblookup -A` and `nbtstat -A` see which it holds.
class NameQueryResponder
{
public:
    // The address of this computer that a peer reaches, host byte order.
    using LocalAddress = std::function<uint32_t(uint32_t peer)>;

    NameQueryResponder(UdpNetwork& network, std::string computer, uint16_t port, LocalAddress localAddress,
                       std::vector<NodeStatusName> heldNames = {});
    // False when the port can't be had (another name server holds it): then nothing is answered.
    bool Start();

private:
    void OnFrame(const uint8_t* data, size_t size, uint32_t sourceIp, uint16_t sourcePort);

    UdpNetwork& network_;
    const std::string computer_;
    const uint16_t port_;
    const LocalAddress localAddress_;
    const std::vector<NodeStatusName> heldNames_;
    std::unique_ptr<UdpEndpoint> endpoint_;
};

} // namespace parlino
