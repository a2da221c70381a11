#pragma once

#include "about/AboutUnit.h"
#include "app/ParlinoUnit.h"
#include "platform/CodePage.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeComputerName.h"
#include "platform/fake/FakeDesktopShell.h"
#include "platform/fake/FakeFileChooser.h"
#include "platform/fake/FakeFileSaver.h"
#include "platform/fake/FakeMachineStore.h"
#include "platform/fake/FakeMailslotService.h"
#include "platform/fake/FakeMessageBoxes.h"
#include "platform/fake/FakeNotifyArea.h"
#include "platform/fake/FakeProfileStore.h"
#include "platform/fake/FakeScreenDensity.h"
#include "platform/fake/FakeSound.h"
#include "settings/OptiuniUnit.h"
#include "transport/MailSlot.h"

#include <gtest/gtest.h>
#include <memory>

namespace parlino::test {

// Every service as a fake, and the three long-lived forms made from them the way start-up makes them.
class AppFixture : public ::testing::Test
{
protected:
    // Tests that need the forms call this after arranging the fakes.
    void CreateForms()
    {
        MainForm = new TMainForm(services);
        OptiuniForm = new TOptiuniForm(screen);
        AboutForm = new TAboutForm();
    }

    void TearDown() override
    {
        if (MainForm)
            MainForm->WinPopup->Close();
        TMailSlotWaitThread::WaitForAllToEnd();
        delete AboutForm;
        AboutForm = nullptr;
        delete OptiuniForm;
        OptiuniForm = nullptr;
        delete MainForm;
        MainForm = nullptr;
    }

    fake::FakeMailslotService mailslots;
    fake::FakeClock clock;
    IconvCodePage codePage{QStringLiteral("CP850")};
    fake::FakeComputerName computerName{QStringLiteral("ALPHA")};
    fake::FakeDesktopShell shell;
    fake::FakeMachineStore machine;
    fake::FakeMessageBoxes messageBoxes;
    fake::FakeNotifyArea notifyArea;
    fake::FakeScreenDensity screen;
    fake::FakeProfileStore profiles;
    fake::FakeSound sound;
    fake::FakeFileSaver files;
    fake::FakeFileChooser fileChooser;
    Platform services{mailslots,  clock,  codePage, computerName, shell, machine,    messageBoxes,
                      notifyArea, screen, profiles, sound,        files, fileChooser};
};

} // namespace parlino::test
