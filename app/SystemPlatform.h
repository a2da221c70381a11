#pragma once

#include "netenum/SystemBrowser.h"
#include "platform/FileSaver.h"
#include "platform/MachineStore.h"
#include "platform/ProfileStore.h"
#include "platform/qt/DbusNotifications.h"
#include "platform/qt/Platform.h"
#include "platform/qt/QtDesktopShell.h"
#include "platform/qt/QtFileChooser.h"
#include "platform/qt/QtFontChooser.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtNotifyArea.h"
#include "platform/qt/QtScreens.h"
#include "platform/qt/QtSound.h"
#include "transport/StationSender.h"
#include "transport/SystemMessenger.h"

#include <memory>

namespace parlino {

// The network services of this computer: they need neither the application object nor the display.
struct SystemNetwork
{
    SystemMessenger messenger;
    SystemBrowser browser{messenger};
};

// The real services of this computer, made once in the entry point and alive until it returns.
// Needs the application object.
class SystemPlatform
{
public:
    explicit SystemPlatform(std::unique_ptr<SystemNetwork> network);
    SystemPlatform(const SystemPlatform&) = delete;
    SystemPlatform& operator=(const SystemPlatform&) = delete;

    Platform Services();
    // Chat lines to the browse list's Samba servers try this route first.
    StationSender::SmbRoute SmbRoute();

private:
    // Ends after every service below.
    std::unique_ptr<SystemNetwork> network_;
    SystemMessenger& messenger_;
    SystemBrowser& browser_;
    QtTimers timers_;
    IdentityComputerName computerName_;
    QtDesktopShell shell_;
    IniMachineStore machine_;
    QtMessageBoxes messageBoxes_;
    QtNotifyArea notifyArea_;
    DbusNotifications notifications_;
    QtScreens screen_;
    FileProfileStore profiles_;
    QtSound sound_;
    DiskFileSaver files_;
    QtFileChooser fileChooser_;
    QtFontChooser fontChooser_;
};

} // namespace parlino
