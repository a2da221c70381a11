#include "transport/SystemMessenger.h"

#include "codec/MailslotPath.h"
#include "platform/InterfaceAddress.h"

#include <cstdio>

namespace parlino {
namespace {

std::vector<std::string> InterfaceNames(const QStringList& list)
{
    std::vector<std::string> names;
    for (const QString& entry : list)
        names.push_back(entry.toStdString());
    return names;
}

const char* WhyNotListening(ListenFailure failure)
{
    switch (failure) {
    case ListenFailure::InUse:
        return "another program holds it: smbd, or another station's Parlino";
    case ListenFailure::NotPermitted:
        return "it needs a privilege this program lacks, see README";
    default:
        return "the system refused it";
    }
}

} // namespace

SystemMessenger::SystemMessenger(NetworkIdentity identity, SmbReceiving smbReceiving)
    : identity_(std::move(identity)), codePage_(identity_.dosCharset), network_(InterfaceNames(identity_.interfaces)),
      names_(ThisComputer::Of(identity_, codePage_)),
      mailslots_(network_, claims_, inboxes_, names_, identity_.datagramPort),
      streams_([this](uint32_t address) { return network_.Reaches(address); }), smbRoute_(streams_, inboxes_, names_),
      // Names are asked for on the port below the datagram port, as 137 is below 138.
      smbSender_(NameResolver(network_, {.namesPort = static_cast<uint16_t>(identity_.datagramPort - 1),
                                         .winsServers = identity_.winsServers}),
                 streams_, identity_.sessionPort),
      wins_(network_, clock_, static_cast<uint16_t>(identity_.datagramPort - 1), LocalAddressFacing,
            [this](const NameRefusal& refusal) { TellRefusal(refusal); })
{
    mailslots_.SetRoutedLookup(
        [names = smbSender_.Names()](const std::string& name) { return names.BeyondRouter(name); });
    if (smbReceiving == SmbReceiving::Off)
        return;
    wins_.Start(identity_.winsServers, {{{names_.name, kWorkstationSuffix}},
                                        {{names_.name, kMessengerSuffix}},
                                        {{names_.workgroup, kWorkstationSuffix}, true}});
    door_.emplace(names_.name, inboxes_);
    // Beside smbd, which holds the port, its message command brings the messages through the door instead.
    smbListening_ = smbRoute_.Start(identity_.sessionPort);
    if (!smbListening_)
        std::fprintf(stderr,
                     "parlino: cannot listen on TCP port %u (%s): SMB messages arrive only through smb.conf's "
                     "message command\n",
                     static_cast<unsigned>(identity_.sessionPort), WhyNotListening(smbRoute_.Failure()));
}

StationSender::SmbRoute SystemMessenger::StationRoute(std::function<bool(const QString& station)> isSambaServer)
{
    return {smbSender_, codePage_, names_.name, std::move(isSambaServer), [this](const QString& station) {
                const std::string target = UpperAscii(codePage_.ToOemBytes(station));
                return mailslots_.RouteTo(target).type != DatagramType::DirectUnique;
            }};
}

SystemMessenger::~SystemMessenger()
{
    wins_.Stop();
    smbSender_.Stop();
}

void SystemMessenger::OnNameRefused(std::function<void(const NameRefusal& refusal)> hook)
{
    std::lock_guard lock(refusalsMutex_);
    refusalHook_ = std::move(hook);
    if (refusalHook_)
        for (const NameRefusal& refusal : refusals_)
            refusalHook_(refusal);
}

void SystemMessenger::TellRefusal(const NameRefusal& refusal)
{
    std::fprintf(stderr, "parlino: %s\n", RefusalText(refusal).toLocal8Bit().constData());
    std::lock_guard lock(refusalsMutex_);
    refusals_.push_back(refusal);
    if (refusalHook_)
        refusalHook_(refusal);
}

} // namespace parlino
