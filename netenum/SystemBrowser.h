#pragma once

#include "netenum/BrowseService.h"
#include "netenum/MasterBrowserClient.h"
#include "netenum/NameQueryResponder.h"
#include "transport/NameResolver.h"
#include "transport/SystemMessenger.h"

namespace parlino {

// The browse list of this computer on the real network, sharing the messenger's identity and datagram
// port; while it runs, messages to a workgroup it knows go out as group datagrams. It answers name queries
// on the port below the datagram port (137 beside 138) when that port is free. Each enumeration also asks the
// workgroup's master browser for its lists: the local one (WORKGROUP<1D>, found by a broadcast query), else the
// domain master browser (WORKGROUP<1B>, which the WINS servers know).
class SystemBrowser
{
public:
    explicit SystemBrowser(SystemMessenger& messenger);
    ~SystemBrowser();
    SystemBrowser(const SystemBrowser&) = delete;
    SystemBrowser& operator=(const SystemBrowser&) = delete;

    // False when the datagram port could not be had: the enumeration then reports no network.
    bool Running() const { return running_; }
    BrowseService& Service() { return service_; }

private:
    SystemMessenger& messenger_;
    BrowseService service_;
    bool running_;
    NameQueryResponder nameResponder_;
    // The enumeration's own name queries, apart from the messages' sender.
    NameResolver lookups_;
    MasterBrowserClient masterBrowsers_;
};

} // namespace parlino
