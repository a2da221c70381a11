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
                    screen_,
                    profiles_,
                    sound_,
                    files_,
                    fileChooser_,
                    fontChooser_,
                    &browser_.Service()};
}

} // namespace parlino
