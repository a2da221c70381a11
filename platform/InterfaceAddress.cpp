#include "platform/InterfaceAddress.h"

#include <QNetworkInterface>

namespace parlino {
namespace {

constexpr uint32_t kLoopback = 0x7F000001u;

} // namespace

std::vector<InterfaceAddress> UpInterfaceAddresses()
{
    std::vector<InterfaceAddress> found;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp))
            continue;
        const bool loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            bool isIpv4 = false;
            const uint32_t address = entry.ip().toIPv4Address(&isIpv4);
            if (!isIpv4)
                continue;
            std::optional<uint32_t> broadcast;
            if (flags.testFlag(QNetworkInterface::CanBroadcast) && !entry.broadcast().isNull())
                broadcast = entry.broadcast().toIPv4Address();
            found.push_back({interface.name(), address, entry.netmask().toIPv4Address(), broadcast, loopback});
        }
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
