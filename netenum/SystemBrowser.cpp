#include "netenum/SystemBrowser.h"

#include "platform/InterfaceAddress.h"

namespace parlino {

SystemBrowser::SystemBrowser(SystemMessenger& messenger)
    : messenger_(messenger), service_(messenger.Network(), messenger.TickClock(), messenger.OemCodePage(),
                                      messenger.Names(), messenger.Identity().datagramPort, "Parlino"),
      running_(service_.Start()),
      nameResponder_(messenger.Network(), messenger.Names().name,
                     static_cast<uint16_t>(messenger.Identity().datagramPort - 1), LocalAddressFacing)
{
    nameResponder_.Start();
    messenger_.Mailslots().SetGroupLookup([this](const std::string& name) { return service_.KnowsWorkgroup(name); });
}

SystemBrowser::~SystemBrowser()
{
    messenger_.Mailslots().SetGroupLookup({});
    service_.Stop();
}

} // namespace parlino
