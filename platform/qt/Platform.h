#pragma once

#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/ComputerName.h"
#include "platform/DesktopNotifications.h"
#include "platform/DesktopServices.h"
#include "platform/FileChooser.h"
#include "platform/FileSaver.h"
#include "platform/FontChooser.h"
#include "platform/MachineStore.h"
#include "platform/MailslotService.h"
#include "platform/MessageBoxes.h"
#include "platform/NetworkBrowser.h"
#include "platform/ProfileStore.h"
#include "platform/Screens.h"
#include "platform/qt/NotifyArea.h"

namespace parlino {

// The operating-system services that windows reach, handed down from whoever composes the program:
// the real ones in the executable, fakes in tests.
struct Platform
{
    MailslotService& mailslots;
    Clock& clock;
    MainThreadTimers& timers;
    const CodePage& oemCodePage;
    const ComputerName& computerName;
    DesktopShell& shell;
    const MachineStore& machine;
    MessageBoxes& messageBoxes;
    NotifyArea& notifyArea;
    DesktopNotifications& notifications;
    const Screens& screen;
    ProfileStore& profiles;
    Sound& sound;
    FileSaver& files;
    FileChooser& fileChooser;
    FontChooser& fontChooser;
    // The network's browse list; without one the station tree shows its root alone.
    NetworkBrowser* networkBrowser = nullptr;
    // Where datagrams arrive, for telling why none can.
    uint16_t datagramPort = 138;
};

} // namespace parlino
