#pragma once

#include "codec/ByteOrder.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace parlino {

// A bound UDP port; frames stop arriving when it is destroyed.
class UdpEndpoint
{
public:
    virtual ~UdpEndpoint() = default;
};

// The IPv4 datagram network: services listen on ports, several on one if they like (each gets every
// frame), broadcast on the selected interfaces, and send to one address, on their subnets or beyond a router.
class UdpNetwork
{
public:
    // Called on a background thread, one frame at a time, in arrival order.
    using Receiver = std::function<void(const uint8_t* data, size_t size, uint32_t sourceIp, uint16_t sourcePort)>;
    // Builds the frame that leaves through the interface with the given local address (host byte order).
    using FrameBuilder = std::function<Bytes(uint32_t localAddress)>;

    virtual ~UdpNetwork() = default;

    // Nullptr when the port can't be had. Port 0 is one the system picks, which SendTo from port 0 sends from.
    virtual std::unique_ptr<UdpEndpoint> Listen(uint16_t port, Receiver receiver) = 0;
    // Sends to the broadcast address of every selected interface, from the listening port when one is bound.
    // True when at least one interface took the whole frame.
    virtual bool Broadcast(uint16_t port, const FrameBuilder& build) = 0;
    virtual bool SendTo(uint32_t address, uint16_t port, const Bytes& frame, uint16_t fromPort) = 0;
    // Sends to one address, on a subnet or beyond a router, from the listening port when one is bound; the frame
    // is built for the local address the route leaves from. True when the frame left whole.
    virtual bool SendUnicast(uint32_t address, uint16_t port, const FrameBuilder& build) = 0;
    // Whether a broadcast reaches the address: it is on the subnet of a selected interface.
    virtual bool OnLocalSubnet(uint32_t address) = 0;
};

} // namespace parlino
