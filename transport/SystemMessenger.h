#pragma once

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/HostNameClaims.h"
#include "platform/LinuxTcpNetwork.h"
#include "platform/LinuxUdpNetwork.h"
#include "platform/LocalMailslots.h"
#include "platform/MailslotDoor.h"
#include "platform/NetworkIdentity.h"
#include "transport/NbtMailslotService.h"
#include "transport/SmbMessageRoute.h"
#include "transport/SmbMessageSender.h"
#include "transport/StationSender.h"
#include "transport/ThisComputer.h"
#include "transport/WinsRegistration.h"

#include <QString>

#include <functional>
#include <mutex>
#include <optional>

namespace parlino {

// The real messenger stack of this computer: its identity and names, the UDP and TCP networks on the chosen
// interfaces, host-wide mailslot names, the OEM code page, this computer's inboxes and the mailslot service
// on top of them. Every route into the inboxes is made and ended here: the datagrams, and unless asked not
// to, the SMB messages on the session port and through the door that smbd's message command knocks at; a
// receiving messenger also holds its names with the WINS servers of the identity.
class SystemMessenger
{
public:
    enum class SmbReceiving {
        On,
        Off // a sender that only writes
    };
    explicit SystemMessenger(NetworkIdentity identity = SystemNetworkIdentity(),
                             SmbReceiving smbReceiving = SmbReceiving::On);
    // A line some copy of the SMB sender still has under way is left to end on its own, without these networks.
    ~SystemMessenger();
    SystemMessenger(const SystemMessenger&) = delete;
    SystemMessenger& operator=(const SystemMessenger&) = delete;

    const NetworkIdentity& Identity() const { return identity_; }
    const ThisComputer& Names() const { return names_; }
    Clock& TickClock() { return clock_; }
    const CodePage& OemCodePage() const { return codePage_; }
    UdpNetwork& Network() { return network_; }
    TcpNetwork& Streams() { return streams_; }
    NbtMailslotService& Mailslots() { return mailslots_; }
    // Sends SMB messages to other computers: one caller at a time, alone or through a copy.
    SmbMessageSender& SmbSender() { return smbSender_; }
    // Whether SMB messages arrive on the session port (not only through the door).
    bool ListensForSessions() const { return smbListening_; }
    // A WINS server's refusal of a name, told on stderr at once and to the hook (on a worker thread), which also
    // hears the refusals told before it was set.
    void OnNameRefused(std::function<void(const NameRefusal& refusal)> hook);
    // The way lines reach stations beside the datagrams: the SMB sender, tried first for the computers
    // isSambaServer names and for those beyond a router.
    StationSender::SmbRoute StationRoute(std::function<bool(const QString& station)> isSambaServer);

private:
    void TellRefusal(const NameRefusal& refusal);

    NetworkIdentity identity_;
    SystemClock clock_;
    IconvCodePage codePage_;
    LinuxUdpNetwork network_;
    AbstractSocketClaims claims_;
    const ThisComputer names_;
    LocalMailslots inboxes_;
    NbtMailslotService mailslots_;
    LinuxTcpNetwork streams_;
    SmbMessageRoute smbRoute_;
    SmbMessageSender smbSender_;
    std::optional<MailslotDoor> door_;
    bool smbListening_ = false;
    std::mutex refusalsMutex_;
    std::vector<NameRefusal> refusals_;
    std::function<void(const NameRefusal&)> refusalHook_;
    WinsRegistration wins_;
};

} // namespace parlino
