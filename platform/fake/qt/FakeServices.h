#pragma once

#include "platform/CodePage.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeComputerName.h"
#include "platform/fake/FakeDesktopServices.h"
#include "platform/fake/FakeFileChooser.h"
#include "platform/fake/FakeFileSaver.h"
#include "platform/fake/FakeMachineStore.h"
#include "platform/fake/FakeMessageBoxes.h"
#include "platform/fake/FakeNotifications.h"
#include "platform/fake/FakeProfileStore.h"
#include "platform/fake/FakeScreens.h"
#include "platform/fake/qt/FakeFontChooser.h"
#include "platform/fake/qt/FakeNotifyArea.h"
#include "platform/qt/Platform.h"

namespace parlino::fake {

// Every service a window reaches, as fakes, around the mailslot service the caller chooses
// (an in-memory one, or the real codec over a fake LAN).
struct FakeServices
{
    explicit FakeServices(MailslotService& mailslotService, const QString& computer = QStringLiteral("ALPHA"))
        : computerName(computer), platform(ServicesOn(mailslotService))
    {}
    FakeServices(const FakeServices&) = delete;
    FakeServices& operator=(const FakeServices&) = delete;

    // These fakes around another mailslot service.
    Platform ServicesOn(MailslotService& mailslotService)
    {
        return {.mailslots = mailslotService,
                .clock = clock,
                .timers = clock,
                .oemCodePage = codePage,
                .computerName = computerName,
                .shell = shell,
                .machine = machine,
                .messageBoxes = messageBoxes,
                .notifyArea = notifyArea,
                .notifications = notifications,
                .screen = screen,
                .profiles = profiles,
                .sound = sound,
                .files = files,
                .fileChooser = fileChooser,
                .fontChooser = fontChooser};
    }

    FakeClock clock;
    IconvCodePage codePage{QStringLiteral("CP850")};
    FakeComputerName computerName;
    FakeDesktopShell shell;
    FakeMachineStore machine;
    FakeMessageBoxes messageBoxes;
    FakeNotifyArea notifyArea;
    FakeNotifications notifications;
    FakeScreens screen;
    FakeProfileStore profiles;
    FakeSound sound;
    FakeFileSaver files;
    FakeFileChooser fileChooser;
    FakeFontChooser fontChooser;
    Platform platform;
};

} // namespace parlino::fake
