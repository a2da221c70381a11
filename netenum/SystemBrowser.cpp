#include "netenum/SystemBrowser.h"

#include "platform/InterfaceAddress.h"

namespace parlino {
namespace {

// A master browser answers at once; a segment without one costs each enumeration this wait.
constexpr std::chrono::milliseconds kMasterAnswerTime{1000};

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
                                                 LocalAddressFacing, HeldNames(messenger)),
      lookups_(messenger.Network(), {.namesPort = static_cast<uint16_t>(messenger.Identity().datagramPort - 1),
                                     .winsServers = messenger.Identity().winsServers,
                                     .answerTime = kMasterAnswerTime}),
      masterBrowsers_(messenger.Streams(), messenger.Identity().sessionPort, messenger.Names().name, {})
{
    nameResponder_.Start();
    messenger_.Mailslots().SetGroupLookup([this](const std::string& name) { return service_.KnowsWorkgroup(name); });
    const auto master = [this](uint8_t suffix) -> MasterBrowserClient::FindMaster {
        return [this, suffix](const std::string& workgroup) -> std::optional<uint32_t> {
            const auto where =
                lookups_.Resolve(NetbiosName{workgroup, suffix}, std::chrono::steady_clock::now() + kMasterAnswerTime);
            return where ? std::optional(where->address) : std::nullopt;
        };
    };
    service_.SetMasterLists(
        [this, local = master(kMasterBrowserSuffix),
         domain = master(kDomainMasterSuffix)](const std::string& workgroup) {
            return masterBrowsers_.FetchFromFirst({local, domain}, workgroup);
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
