#include "tests/app/AppFixture.h"
#include "tests/support/Wait.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace parlino::test {
namespace {

constexpr uint32_t kErrorAlreadyExists = 183;

using MainFormTest = AppFixture;

TEST_F(MainFormTest, CreationOpensTheTransportAndReadsThisComputersName)
{
    CreateForms();
    EXPECT_TRUE(MainForm->WinPopup->Active());
    EXPECT_TRUE(mailslots.Deliver("messngr", {'B', 'E', 'T', 'A', 0, 'A', 'L', 'P', 'H', 'A', 0, 'h', 'i'}));
    EXPECT_EQ(MainForm->ComputerName, QStringLiteral("ALPHA"));
    EXPECT_TRUE(MainForm->LastMessage.isEmpty());
    EXPECT_TRUE(MainForm->FirstActivation);
    for (int slot = 1; slot <= TMainForm::kChatSlots; ++slot)
        EXPECT_FALSE(MainForm->ChatOpen[slot]) << slot;
}

TEST_F(MainFormTest, MailslotHeldElsewhereStillStartsShowsAndSendsWithoutAnErrorBox)
{
    mailslots.FailNextCreate(kErrorAlreadyExists);
    CreateForms();
    MainForm->show();
    EXPECT_TRUE(MainForm->isVisible());
    EXPECT_FALSE(MainForm->WinPopup->Active());
    EXPECT_TRUE(messageBoxes.Shown().empty());
    EXPECT_EQ(MainForm->ComputerName, QStringLiteral("ALPHA"));
    EXPECT_EQ(MainForm->TreeStatii->topLevelItemCount(), 1);

    EXPECT_TRUE(MainForm->WinPopup->Send(QStringLiteral("BETA"), QStringLiteral("ALPHA"), QStringLiteral("BETA"),
                                         QStringLiteral("still here")));
    EXPECT_EQ(mailslots.Writes().size(), 1u);
}

TEST_F(MainFormTest, HelpOpensUnderTheInstallPathReadOnceAtFirstShow)
{
    machine.Set(QStringLiteral("SOFTWARE\\Parlino"), QStringLiteral("InstallPath"), QStringLiteral("/opt/parlino"));
    CreateForms();
    EXPECT_EQ(machine.Reads(), 0);
    MainForm->show();
    EXPECT_EQ(MainForm->InstallPath, QStringLiteral("/opt/parlino"));

    MainForm->Contents2->trigger();
    EXPECT_EQ(shell.Opened(), QStringList{QStringLiteral("/opt/parlino/help/help.html")});

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
    MainForm->Contents2->trigger();
    EXPECT_EQ(shell.Opened(), QStringList{QStringLiteral("/help/help.html")});
    EXPECT_TRUE(messageBoxes.Shown().empty());
}

TEST_F(MainFormTest, HomepageOpensItsWebAddress)
{
    CreateForms();
    MainForm->Visitprogramhomepage1->trigger();
    EXPECT_EQ(shell.Opened(), QStringList{QLatin1String(TMainForm::kHomepage)});
}

// Triggers an "&About" item and reports whether the about box was the modal window while it ran,
// with its name fitted to the text, dismissing it with its OK button.
bool AboutShownModally(QAction* item)
{
    bool modal = false;
    QTimer::singleShot(0, [&] {
        modal = QApplication::activeModalWidget() == AboutForm && AboutForm->isModal() &&
                AboutForm->Label1->size() == AboutForm->Label1->sizeHint();
        QTest::mouseClick(AboutForm->BitBtn1, Qt::LeftButton);
    });
    item->trigger();
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
    QTest::mouseClick(MainForm->RxSpeedButton1, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([] { return MainForm->PopupMenuHelp->isVisible(); }));
    const QPoint corner = MainForm->RxSpeedButton1->mapToGlobal(QPoint(MainForm->RxSpeedButton1->width(), 0));
    EXPECT_EQ(MainForm->PopupMenuHelp->pos(), corner);
    MainForm->PopupMenuHelp->hide();
}

TEST_F(MainFormTest, ExitOnTheToolbarClosesTheTransportAndReleasesChatWindows)
{
    CreateForms();
    MainForm->show();
    QPointer<QWidget> chat = MainForm->ChatForms[MainForm->NewChat(QStringLiteral("PC3"))].get();

    QTest::mouseClick(MainForm->ButExit, Qt::LeftButton);
    EXPECT_FALSE(MainForm->isVisible());
    EXPECT_FALSE(MainForm->WinPopup->Active());
    EXPECT_TRUE(WaitUntil([&] { return chat.isNull(); }));
}

TEST_F(MainFormTest, ExitInTheTrayMenuWorksWhileTheWindowIsHidden)
{
    CreateForms();
    MainForm->show();
    MainForm->hide();
    MainForm->Exit1->trigger();
    EXPECT_FALSE(MainForm->WinPopup->Active());
}

TEST_F(MainFormTest, TheWindowsCloseButtonClosesAsExitDoes)
{
    CreateForms();
    MainForm->show();
    EXPECT_TRUE(MainForm->close());
    EXPECT_FALSE(MainForm->WinPopup->Active());
}

} // namespace
} // namespace parlino::test
