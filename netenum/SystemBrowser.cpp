#include "netenum/SystemBrowser.h"

#include "platform/InterfaceAddress.h"

namespace parlino {
namespace {

// What a node status answer lists: the names this computer answers to, the server's only while SMB sessions come in.
std::vector<NodeStatusName> HeldNames(const SystemMessenger& messenger)
{
    const ThisComputer& names = messenger.Names();
    std::vector<NodeStatusName> held = {{{names.name, kWorkstationSuffix}},
                                        {{names.name, kMessengerSuffix}},
                                        {{names.workgroup, kWorkstationSuffix}, true}};
    if (messenger.ListensForSessions())
        held.push_back({{names.name, kServerSuffix}});
    return held;
}

} // namespace

SystemBrowser::SystemBrowser(SystemMessenger& messenger)
    : messenger_(messenger), service_(messenger.Network(), messenger.TickClock(), messenger.OemCodePage(),
                                      messenger.Names(), messenger.Identity().datagramPort, "Parlino"),
      running_(service_.Start()), nameResponder_(messenger.Network(), messenger.Names().name,
                                                 static_cast<uint16_t>(messenger.Identity().datagramPort - 1),
                                                 LocalAddressFacing, HeldNames(messenger))
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
