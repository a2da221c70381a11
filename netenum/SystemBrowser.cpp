#include "netenum/SystemBrowser.h"

#include "platform/InterfaceAddress.h"

namespace parlino {
namespace {

std::string Oem(const CodePage& codePage, const QString& text)
{
    return codePage.ToOem(text).toStdString();
}

} // namespace

SystemBrowser::SystemBrowser(SystemMessenger& messenger)
    : messenger_(messenger), service_(messenger.Network(), messenger.TickClock(), messenger.OemCodePage(),
                                      {Oem(messenger.OemCodePage(), messenger.Identity().netbiosName),
                                       Oem(messenger.OemCodePage(), messenger.Identity().workgroup),
                                       messenger.Identity().datagramPort, "Parlino"}),
      running_(service_.Start()),
      nameResponder_(messenger.Network(), Oem(messenger.OemCodePage(), messenger.Identity().netbiosName),
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
