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

SystemBrowser::SystemBrowser(SystemMessenger& messenger, MasterBrowserClient::FindMaster domainMaster)
    : messenger_(messenger), service_(messenger.Network(), messenger.TickClock(), messenger.OemCodePage(),
                                      messenger.Names(), messenger.Identity().datagramPort, "Parlino"),
      running_(service_.Start()), nameResponder_(messenger.Network(), messenger.Names().name,
                                                 static_cast<uint16_t>(messenger.Identity().datagramPort - 1),
                                                 LocalAddressFacing, HeldNames(messenger)),
      // A master browser answers at once; a segment without one costs each enumeration this wait.
      lookups_(messenger.Network(), messenger.Streams(),
               {static_cast<uint16_t>(messenger.Identity().datagramPort - 1), messenger.Identity().sessionPort},
               std::chrono::seconds(1), std::chrono::seconds(1)),
      masterBrowsers_(messenger.Streams(), messenger.Identity().sessionPort, messenger.Names().name, {})
{
    nameResponder_.Start();
    messenger_.Mailslots().SetGroupLookup([this](const std::string& name) { return service_.KnowsWorkgroup(name); });
    const MasterBrowserClient::FindMaster localMaster = [this](const std::string& workgroup) {
        return lookups_.Resolve(NetbiosName{workgroup, kMasterBrowserSuffix});
    };
    service_.SetMasterLists(
        [this, localMaster, domainMaster = std::move(domainMaster)](const std::string& workgroup) {
            return masterBrowsers_.FetchFromFirst({localMaster, domainMaster}, workgroup);
        },
        [this] {
            lookups_.Stop();
            masterBrowsers_.Stop();
        });
}

SystemBrowser::~SystemBrowser()
{
    service_.SetMasterLists({});
    messenger_.Mailslots().SetGroupLookup({});
    service_.Stop();
    lookups_.Stop();
}

} // namespace parlino
