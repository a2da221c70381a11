#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
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

// A dotted IPv4 address in host byte order; nullopt for anything else.
std::optional<uint32_t> ParseIpv4(const std::string& text);

// The dotted form of an IPv4 address given in host byte order.
std::string DottedIpv4(uint32_t address);

// Whether an entry of smb.conf's "interfaces" picks this address: the entry names its interface, gives the
// address itself, or gives a network it lies on, with a prefix length or a dotted mask ("192.168.1.0/24",
// "127.0.0.0/255.0.0.0").
bool InterfaceSelected(const std::string& entry, const InterfaceAddress& candidate);

// The IPv4 addresses of the interfaces that are up, in the system's order.
std::vector<InterfaceAddress> UpInterfaceAddresses();

// This computer's IPv4 address on the interface whose network holds peer (host byte order): the address
// a name query's answer must give. Loopback for a loopback peer; else the first address that is up.
uint32_t LocalAddressFacing(uint32_t peer);

} // namespace parlino
