#include "platform/InterfaceAddress.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <memory>
#include <net/if.h>
#include <netinet/in.h>

namespace parlino {
namespace {

constexpr uint32_t kLoopback = 0x7F000001u;

uint32_t HostOrder(const sockaddr* address)
{
    return ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
}

// A mask as smb.conf writes it after the slash: a prefix length or a dotted mask.
std::optional<uint32_t> ParseMask(const std::string& text)
{
    if (text.find('.') != std::string::npos)
        return ParseIpv4(text);
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int bits = std::stoi(text);
    if (bits > 32)
        return std::nullopt;
    return bits == 0 ? 0u : ~uint32_t{0} << (32 - bits);
}

} // namespace

std::optional<uint32_t> ParseIpv4(const std::string& text)
{
    in_addr parsed{};
    if (::inet_pton(AF_INET, text.c_str(), &parsed) != 1)
        return std::nullopt;
    return ntohl(parsed.s_addr);
}

std::string DottedIpv4(uint32_t address)
{
    return std::to_string(address >> 24) + '.' + std::to_string((address >> 16) & 0xFF) + '.' +
           std::to_string((address >> 8) & 0xFF) + '.' + std::to_string(address & 0xFF);
}

bool InterfaceSelected(const std::string& entry, const InterfaceAddress& candidate)
{
    if (entry == candidate.interfaceName.toStdString())
        return true;
    const size_t slash = entry.find('/');
    const auto address = ParseIpv4(entry.substr(0, slash));
    if (!address)
        return false;
    if (slash == std::string::npos)
        return *address == candidate.address;
    const auto mask = ParseMask(entry.substr(slash + 1));
    return mask && (*address & *mask) == (candidate.address & *mask);
}

std::vector<InterfaceAddress> UpInterfaceAddresses()
{
    // getifaddrs lists each address once, in the kernel's order, with the flags of its interface.
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return {};
    const std::unique_ptr<ifaddrs, void (*)(ifaddrs*)> owned(list, ::freeifaddrs);
    std::vector<InterfaceAddress> found;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !(entry->ifa_flags & IFF_UP))
            continue;
        std::optional<uint32_t> broadcast;
        if ((entry->ifa_flags & IFF_BROADCAST) && entry->ifa_broadaddr)
            broadcast = HostOrder(entry->ifa_broadaddr);
        found.push_back({QString::fromLocal8Bit(entry->ifa_name), HostOrder(entry->ifa_addr),
                         entry->ifa_netmask ? HostOrder(entry->ifa_netmask) : 0u, broadcast,
                         (entry->ifa_flags & IFF_LOOPBACK) != 0});
    }
    return found;
}

uint32_t LocalAddressFacing(uint32_t peer)
{
    if ((peer >> 24) == 127)
        return kLoopback;
    std::optional<uint32_t> first;
    for (const InterfaceAddress& local : UpInterfaceAddresses()) {
        if (local.loopback)
            continue;
        if ((local.address & local.netmask) == (peer & local.netmask))
            return local.address;
        if (!first)
            first = local.address;
    }
    return first.value_or(kLoopback);
}

} // namespace parlino
