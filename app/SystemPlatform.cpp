#include "app/SystemPlatform.h"

namespace parlino {

SystemPlatform::SystemPlatform() : computerName_(messenger_.Identity()), profiles_(FileProfileStore::DefaultFolder()) {}

Platform SystemPlatform::Services()
{
    return Platform{messenger_.Mailslots(),
                    messenger_.TickClock(),
                    messenger_.OemCodePage(),
                    computerName_,
                    shell_,
                    machine_,
                    messageBoxes_,
                    notifyArea_,
                    notifications_,
                    screen_,
                    profiles_,
                    sound_,
                    files_,
                    fileChooser_,
                    fontChooser_,
                    &browser_.Service(),
                    messenger_.Identity().datagramPort};
}

StationSender::SmbRoute SystemPlatform::SmbRoute()
{
    return {messenger_.SmbSender(), messenger_.OemCodePage(), messenger_.Names().name,
            [this](const QString& station) { return browser_.Service().IsUnixServer(station); }};
}

} // namespace parlino
