#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace parlino {

// An IPv4 address of an interface that is up; addresses in host byte order.
struct InterfaceAddress
{
    QString interfaceName;
    uint32_t address;
    uint32_t netmask;
    // Where a broadcast on the interface's network goes; none when the interface does not broadcast, as
    // loopback does not.
    std::optional<uint32_t> broadcast;
    bool loopback;
};

// The IPv4 addresses of the interfaces that are up, in the system's order.
std::vector<InterfaceAddress> UpInterfaceAddresses();

// This computer's IPv4 address on the interface whose network holds peer (host byte order): the address
// a name query's answer must give. Loopback for a loopback peer; else the first address that is up.
uint32_t LocalAddressFacing(uint32_t peer);

} // namespace parlino
