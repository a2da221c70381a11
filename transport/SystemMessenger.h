#pragma once

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/HostNameClaims.h"
#include "platform/LinuxUdpNetwork.h"
#include "platform/LocalMailslots.h"
#include "platform/NetworkIdentity.h"
#include "transport/NbtMailslotService.h"
#include "transport/ThisComputer.h"

namespace parlino {

// The real messenger stack of this computer: its identity and names, the UDP network on the chosen
// interfaces, host-wide mailslot names, the OEM code page, this computer's inboxes and the mailslot service
// on top of them. Every route into the inboxes is made and ended here.
class SystemMessenger
{
public:
    explicit SystemMessenger(NetworkIdentity identity = SystemNetworkIdentity());
    SystemMessenger(const SystemMessenger&) = delete;
    SystemMessenger& operator=(const SystemMessenger&) = delete;

    const NetworkIdentity& Identity() const { return identity_; }
    const ThisComputer& Names() const { return names_; }
    Clock& TickClock() { return clock_; }
    const CodePage& OemCodePage() const { return codePage_; }
    UdpNetwork& Network() { return network_; }
    NbtMailslotService& Mailslots() { return mailslots_; }

private:
    NetworkIdentity identity_;
    SystemClock clock_;
    IconvCodePage codePage_;
    LinuxUdpNetwork network_;
    AbstractSocketClaims claims_;
    const ThisComputer names_;
    LocalMailslots inboxes_;
    NbtMailslotService mailslots_;
};

} // namespace parlino
