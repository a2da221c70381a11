#include "tests/app/AppFixture.h"
#include "tests/support/Trigger.h"
#include "tests/support/Wait.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

namespace parlino::test {
namespace {

using MainFormTest = AppFixture;

// The window shown and activated, as the desktop does at start.
void ShowActive()
{
    MainForm->show();
    // The offscreen desktop keeps a window it hid active in its own books, and so never activates it again.
    QApplication::setActiveWindow(MainForm);
    ASSERT_TRUE(WaitUntil([] { return MainForm->isActiveWindow(); }));
}

bool InTray()
{
    return !MainForm->isVisible() && MainForm->RxTrayIcon->IsAdded();
}

TEST_F(MainFormTest, CreationOpensTheTransportAndReadsThisComputersName)
{
    CreateForms();
    EXPECT_TRUE(MainForm->WinPopup->Active());
    EXPECT_TRUE(mailslots.Deliver("messngr", {'B', 'E', 'T', 'A', 0, 'A', 'L', 'P', 'H', 'A', 0, 'h', 'i'}));
    EXPECT_EQ(MainForm->ComputerName, QStringLiteral("ALPHA"));
    EXPECT_TRUE(MainForm->LastMessage.isEmpty());
    EXPECT_TRUE(MainForm->FirstActivation);
    for (int slot = 1; slot <= TMainForm::kChatSlots; ++slot)
        EXPECT_FALSE(MainForm->Chats.IsOpen(slot)) << slot;
}

struct ReceivingCase
{
    const char* name;
    // How creating the mailslot fails; 0 when it works.
    uint32_t error;
    // Empty while messages can arrive.
    QString status;
};

TEST_F(MainFormTest, WithoutAMailslotItStillStartsShowsAndSendsAndSaysWhyWithoutABox)
{
    const std::vector<ReceivingCase> cases = {
        {"receiving", 0, QString()},
        {"name held elsewhere", kErrorAlreadyExists, "Not receiving messages: the name is held by another program"},
        {"port barred", kErrorAccessDenied, "Not receiving messages: port 41384 needs the capability, see README"},
        {"anything else", kErrorNotEnoughMemory, "Not receiving messages: Cannot open mailslot"},
    };
    services.datagramPort = 41384;
    for (const ReceivingCase& c : cases) {
        SCOPED_TRACE(c.name);
        mailslots.FailNextCreate(c.error);
        testing::internal::CaptureStderr();
        CreateForms();
        const QString printed = QString::fromStdString(testing::internal::GetCapturedStderr());
        MainForm->show();
        EXPECT_TRUE(MainForm->isVisible());
        EXPECT_EQ(MainForm->WinPopup->Active(), c.status.isEmpty());
        EXPECT_EQ(MainForm->StatusLine->isVisible(), !c.status.isEmpty());
        EXPECT_EQ(MainForm->StatusLine->text(), c.status);
        EXPECT_EQ(printed, c.status.isEmpty() ? QString() : QStringLiteral("parlino: ") + c.status + u'\n');
        EXPECT_TRUE(messageBoxes.Shown().empty());
        EXPECT_EQ(MainForm->ComputerName, QStringLiteral("ALPHA"));
        EXPECT_EQ(MainForm->TreeStatii->topLevelItemCount(), 1);
        const size_t writes = mailslots.Writes().size();
        EXPECT_TRUE(MainForm->WinPopup->Send(QStringLiteral("BETA"), QStringLiteral("ALPHA"), QStringLiteral("BETA"),
                                             QStringLiteral("still here")));
        EXPECT_EQ(mailslots.Writes().size(), writes + 1);
        DestroyForms();
    }
}

// The in-memory mailslots, except that one creation throws, as a failing system call may.
class ThrowingMailslots final : public MailslotService
{
public:
    ThrowingMailslots(MailslotService& inner, int throwAt) : inner_(inner), throwAt_(throwAt) {}
    ~ThrowingMailslots() override { WaitForReaders(); }

    MailslotHandle CreateMailslot(const std::string& path, uint32_t size, uint32_t timeout) override
    {
        if (++creations_ == throwAt_)
            throw std::system_error(ENFILE, std::generic_category(), "socket");
        return inner_.CreateMailslot(path, size, timeout);
    }
    bool GetMailslotInfo(MailslotHandle h, uint32_t* next, uint32_t* count) override
    {
        return inner_.GetMailslotInfo(h, next, count);
    }
    bool ReadFile(MailslotHandle h, void* to, uint32_t size, uint32_t* read) override
    {
        return inner_.ReadFile(h, to, size, read);
    }
    bool DiscardMessage(MailslotHandle h) override { return inner_.DiscardMessage(h); }
    MailslotHandle CreateFile(const std::string& path) override { return inner_.CreateFile(path); }
    bool WriteFile(MailslotHandle h, const void* data, uint32_t size, uint32_t* written) override
    {
        return inner_.WriteFile(h, data, size, written);
    }
    bool CloseHandle(MailslotHandle h) override { return inner_.CloseHandle(h); }
    uint32_t GetLastError() override { return inner_.GetLastError(); }

private:
    MailslotService& inner_;
    const int throwAt_;
    int creations_ = 0;
};

TEST_F(MainFormTest, AnyOtherFailureAtStartIsShownInTheErrorBoxAndTheProgramRunsOnWithoutTheMailslot)
{
    const QString error = QString::fromStdString(std::system_error(ENFILE, std::generic_category(), "socket").what());
    for (const int throwAt : {1, 2}) {
        SCOPED_TRACE(throwAt == 1 ? "opening" : "opening again");
        ThrowingMailslots throwing(mailslots, throwAt);
        fake::FakeServices faked(throwing);
        parlino::CreateForms(faked.platform);
        MainForm->show();
        ASSERT_EQ(faked.messageBoxes.Shown().size(), 1u);
        EXPECT_EQ(faked.messageBoxes.Shown()[0].text, error);
        EXPECT_FALSE(MainForm->WinPopup->Active());
        EXPECT_FALSE(mailslots.Deliver("messngr", {'B', 0, 'A', 0, 'x'})) << "no mailslot left open";
        EXPECT_EQ(MainForm->StatusLine->text(), QStringLiteral("Not receiving messages: ") + error);
        EXPECT_EQ(MainForm->ComputerName, QStringLiteral("ALPHA"));
        DestroyForms();
    }
}

TEST_F(MainFormTest, HelpOpensUnderTheInstallPathReadOnceAtFirstShow)
{
    machine.Set(QStringLiteral("SOFTWARE\\Parlino"), QStringLiteral("InstallPath"), QStringLiteral("/opt/parlino"));
    CreateForms();
    EXPECT_EQ(machine.Reads(), 0);
    MainForm->show();
    EXPECT_EQ(MainForm->InstallPath, QStringLiteral("/opt/parlino"));

    Trigger(MainForm->Contents2);
    EXPECT_EQ(shell.Recorded(), QStringList{QStringLiteral("/opt/parlino/help/help.html")});

    // Once the first activation is over, showing the window again doesn't consult the store.
    MainForm->activateWindow();
    ASSERT_TRUE(WaitUntil([] { return !MainForm->FirstActivation; }));
    MainForm->hide();
    MainForm->show();
    EXPECT_EQ(machine.Reads(), 1);
}

TEST_F(MainFormTest, HelpWithoutInstallPathOpensTheBarePath)
{
    CreateForms();
    MainForm->show();
    EXPECT_TRUE(MainForm->InstallPath.isEmpty());
    Trigger(MainForm->Contents2);
    EXPECT_EQ(shell.Recorded(), QStringList{QStringLiteral("/help/help.html")});
    EXPECT_TRUE(messageBoxes.Shown().empty());
}

TEST_F(MainFormTest, HomepageOpensItsWebAddressAndWithoutOneTheInstalledHelp)
{
    machine.Set(QStringLiteral("SOFTWARE\\Parlino"), QStringLiteral("InstallPath"), QStringLiteral("/opt/parlino"));
    CreateForms();
    MainForm->show();
    MainForm->Homepage = QStringLiteral("https://parlino.test/");
    Trigger(MainForm->Visitprogramhomepage1);
    MainForm->Homepage.clear();
    Trigger(MainForm->Visitprogramhomepage1);
    EXPECT_EQ(shell.Recorded(),
              (QStringList{QStringLiteral("https://parlino.test/"), QStringLiteral("/opt/parlino/help/help.html")}));
}

// Triggers an "&About" item and reports whether the about box was the modal window while it ran, whole although it
// was left minimized and minimized again while open, with its name fitted to the text, dismissing it with its OK
// button.
bool AboutShownModally(QAction* item)
{
    bool modal = false;
    AboutForm->setWindowState(Qt::WindowMinimized);
    QTimer::singleShot(0, [&] {
        const bool whole = !AboutForm->isMinimized();
        AboutForm->showMinimized();
        Trigger(item);
        modal = whole && !AboutForm->isMinimized() && QApplication::activeModalWidget() == AboutForm &&
                AboutForm->isModal() && AboutForm->Label1->size() == AboutForm->Label1->sizeHint();
        Trigger(AboutForm->BitBtn1);
    });
    Trigger(item);
    return modal && !AboutForm->isVisible();
}

TEST_F(MainFormTest, BothAboutItemsShowTheAboutBoxModally)
{
    CreateForms();
    MainForm->show();
    EXPECT_TRUE(AboutShownModally(MainForm->About3));
    EXPECT_TRUE(AboutShownModally(MainForm->About1));
    EXPECT_TRUE(MainForm->isVisible());
}

TEST_F(MainFormTest, HelpButtonDropsDownTheHelpMenuAtItsRightSide)
{
    CreateForms();
    // Far enough from the screen's right edge that the menu needn't be pushed back onto it.
    MainForm->move(0, 0);
    MainForm->show();
    Trigger(MainForm->RxSpeedButton1);
    ASSERT_TRUE(WaitUntil([] { return MainForm->PopupMenuHelp->isVisible(); }));
    const QPoint corner = MainForm->RxSpeedButton1->mapToGlobal(QPoint(MainForm->RxSpeedButton1->width(), 0));
    EXPECT_EQ(MainForm->PopupMenuHelp->pos(), corner);
    MainForm->PopupMenuHelp->hide();
}

TEST_F(MainFormTest, ExitOnTheToolbarClosesTheTransportAndReleasesChatWindows)
{
    CreateForms();
    MainForm->show();
    QPointer<QWidget> chat = MainForm->Chats.At(MainForm->NewChat(QStringLiteral("PC3")));

    Trigger(MainForm->ButExit);
    EXPECT_FALSE(MainForm->isVisible());
    EXPECT_FALSE(MainForm->WinPopup->Active());
    EXPECT_TRUE(WaitUntil([&] { return chat.isNull(); }));
}

TEST_F(MainFormTest, ExitInTheTrayMenuWorksWhileTheWindowIsHidden)
{
    CreateForms();
    MainForm->show();
    MainForm->hide();
    Trigger(MainForm->Exit1);
    EXPECT_FALSE(MainForm->WinPopup->Active());
}

TEST_F(MainFormTest, TheWindowsCloseButtonClosesAsExitDoes)
{
    CreateForms();
    MainForm->show();
    EXPECT_TRUE(MainForm->close());
    EXPECT_FALSE(MainForm->WinPopup->Active());
}

TEST_F(MainFormTest, StartMinimizedHidesOnceAfterTheFirstActivationAndRestoringReloadsNothing)
{
    profiles.SetText("Parlino.ini", "[Optiuni]\nCheckMin_Checked=True\nCheckRefresh_Checked=False\n");
    CreateForms();
    ShowActive();
    EXPECT_TRUE(OptiuniForm->CheckMin->Checked());
    EXPECT_FALSE(MainForm->TimerRefresh->IsActive());
    clock.Advance(54);
    EXPECT_TRUE(MainForm->isVisible()) << "shown for a moment first";
    clock.Advance(1);
    ASSERT_TRUE(WaitUntil(InTray));
    EXPECT_FALSE(MainForm->TimerMin->IsActive());
    EXPECT_TRUE(profiles.Text("parlino.ini").contains("[MainWindow]"));

    profiles.SetText("Parlino.ini", "[Optiuni]\nCheckMin_Checked=False\nCheckRefresh_Checked=True\n");
    Trigger(MainForm->Show1);
    ShowActive();
    EXPECT_FALSE(MainForm->RxTrayIcon->IsAdded());
    EXPECT_TRUE(OptiuniForm->CheckMin->Checked()) << "the options are loaded once per run";
    EXPECT_FALSE(MainForm->TimerMin->IsActive());
    EXPECT_FALSE(MainForm->TimerRefresh->IsActive());
}

TEST_F(MainFormTest, EveryWayOfHidingWritesThePlacementAndEveryWayBackShowsTheWindowWhereItWas)
{
    const std::vector<std::pair<const char*, std::function<void()>>> hidings = {
        {"the Minimize button", [] { Trigger(MainForm->ButMin); }},
        {"the title bar's minimize", [] { MainForm->setWindowState(Qt::WindowMinimized); }},
        {"the start-minimized timer",
         [this] {
             MainForm->TimerMin->Start();
             clock.Advance(55);
         }},
    };
    const std::vector<std::pair<const char*, std::function<void()>>> restorings = {
        {"the tray menu's Show", [] { Trigger(MainForm->Show1); }},
        {"a click on the tray icon",
         [this] {
             const NotifyReceiver* icon = notifyArea.Shown().front().window;
             ASSERT_TRUE(notifyArea.Deliver(icon, kWmLButtonDown));
             ASSERT_TRUE(notifyArea.Deliver(icon, kWmLButtonUp));
         }},
    };
    CreateForms();
    ShowActive();
    int left = 100;
    for (const auto& [hiding, hide] : hidings) {
        for (const auto& [restoring, restore] : restorings) {
            SCOPED_TRACE(std::string(hiding) + ", then " + restoring);
            const QPoint place(left += 10, 80);
            MainForm->move(place);
            hide();
            ASSERT_TRUE(WaitUntil(InTray));
            EXPECT_TRUE(profiles.Text("parlino.ini").contains(QStringLiteral("NormPos=%1,80,").arg(place.x())));
            MainForm->move(0, 0);
            restore();
            ASSERT_TRUE(WaitUntil([] { return MainForm->isVisible(); }));
            EXPECT_FALSE(MainForm->RxTrayIcon->IsAdded());
            EXPECT_FALSE(MainForm->isMinimized());
            EXPECT_EQ(MainForm->pos(), place);
        }
    }
    EXPECT_TRUE(messageBoxes.Shown().empty());
}

TEST_F(MainFormTest, WithoutANotificationAreaHidingMinimisesToTheTaskbarInstead)
{
    notifyArea.SetAvailable(false);
    notifyArea.RefuseAdds(true);
    CreateForms();
    ShowActive();
    Trigger(MainForm->ButMin);
    EXPECT_TRUE(MainForm->isVisible());
    EXPECT_TRUE(MainForm->isMinimized());
    EXPECT_FALSE(MainForm->RxTrayIcon->Active());
    MainForm->showNormal();
    MainForm->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(test::DrainQueue());
    EXPECT_TRUE(MainForm->isVisible());
    EXPECT_TRUE(MainForm->isMinimized());
}

TEST_F(MainFormTest, AnUnwritableSettingsFileIsReportedOnceAndKeepsTheWindowShown)
{
    profiles.SetText("Parlino.ini", "[Optiuni]\nCheckMin_Checked=True\n");
    profiles.SetReadOnly("parlino.ini", true);
    CreateForms();
    ShowActive();
    clock.Advance(55);
    ASSERT_TRUE(WaitUntil([this] { return !messageBoxes.Shown().empty(); }));
    clock.Advance(55);
    ASSERT_TRUE(test::DrainQueue());
    ASSERT_EQ(messageBoxes.Shown().size(), 1U);
    EXPECT_TRUE(messageBoxes.Shown()[0].text.startsWith("Unable to write to "))
        << messageBoxes.Shown()[0].text.toStdString();
    EXPECT_FALSE(MainForm->TimerMin->IsActive());
    EXPECT_TRUE(MainForm->isVisible());
    EXPECT_FALSE(MainForm->RxTrayIcon->Active());
}

TEST_F(MainFormTest, OptionsOpenBesideAUsableWindowAndTheirOkSwitchesTheRefresh)
{
    CreateForms();
    ShowActive();
    EXPECT_TRUE(MainForm->TimerRefresh->IsActive()) << "Auto-refresh is on by design";
    Trigger(MainForm->ButOptiuni);
    EXPECT_TRUE(OptiuniForm->isVisible());
    EXPECT_FALSE(OptiuniForm->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    OptiuniForm->showMinimized();
    Trigger(MainForm->ButOptiuni);
    EXPECT_FALSE(OptiuniForm->isMinimized()) << "back from the window manager's minimize";
    OptiuniForm->CheckRefresh->SetChecked(false);
    Trigger(OptiuniForm->ButOk);
    EXPECT_FALSE(MainForm->TimerRefresh->IsActive());
}

} // namespace
} // namespace parlino::test
