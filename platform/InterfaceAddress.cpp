#include "platform/InterfaceAddress.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace parlino {
namespace {

constexpr uint32_t kLoopback = 0x7F000001u;

uint32_t Address(const sockaddr* address)
{
    return ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
}

} // namespace

uint32_t LocalAddressFacing(uint32_t peer)
{
    if ((peer >> 24) == 127)
        return kLoopback;
    uint32_t facing = 0;
    uint32_t first = 0;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return kLoopback;
    for (const ifaddrs* entry = list; entry && !facing; entry = entry->ifa_next) {
        if (!entry->ifa_addr || !entry->ifa_netmask || entry->ifa_addr->sa_family != AF_INET ||
            !(entry->ifa_flags & IFF_UP) || (entry->ifa_flags & IFF_LOOPBACK))
            continue;
        const uint32_t local = Address(entry->ifa_addr);
        const uint32_t mask = Address(entry->ifa_netmask);
        if (!first)
            first = local;
        if ((local & mask) == (peer & mask))
            facing = local;
    }
    ::freeifaddrs(list);
    return facing ? facing : first ? first : kLoopback;
}

} // namespace parlino
