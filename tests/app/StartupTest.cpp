#include "app/Startup.h"

#include "platform/InstanceLock.h"
#include "tests/app/AppFixture.h"
#include "tests/support/Trigger.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace parlino::test {
namespace {

TEST(InstanceLockTest, OneHolderAtATimeAndTheNameIsFreeAgainWhenItGoes)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("session"));
    auto first = std::make_unique<FlockInstanceLock>(folder);
    ASSERT_TRUE(FirstInstance(*first));
    EXPECT_TRUE(first->Acquire(QStringLiteral("Parlino"))) << "the holder asking again still holds it";
    // Private to the user who made it.
    EXPECT_EQ(QFileInfo(folder).permissions() & 0x0077, QFileDevice::Permissions());

    FlockInstanceLock second(folder);
    EXPECT_FALSE(FirstInstance(second));
    FlockInstanceLock other(folder);
    EXPECT_TRUE(other.Acquire(QStringLiteral("Another")));

    first.reset();
    FlockInstanceLock third(folder);
    EXPECT_TRUE(FirstInstance(third));
}

TEST(InstanceLockTest, AFolderOfAnotherUsersCannotKeepParlinoFromStarting)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("planted"));
    ASSERT_TRUE(QDir().mkdir(folder));
    FlockInstanceLock planted(folder);
    ASSERT_TRUE(planted.Acquire(QStringLiteral("Parlino")));
    if (QProcess::execute(QStringLiteral("chown"), {QStringLiteral("65534"), folder}) != 0)
        GTEST_SKIP() << "giving the folder to another user needs root";

    FlockInstanceLock ours(folder);
    EXPECT_TRUE(FirstInstance(ours));
}

using RunParlinoTest = AppFixture;

TEST_F(RunParlinoTest, MakesTheThreeFormsRunsUntilExitAndReturnsZero)
{
    bool sawForms = false;
    QTimer::singleShot(0, [&] {
        // The dialogs are not in the first frame: the first activation makes them.
        EXPECT_TRUE(QTest::qWaitFor([] { return OptiuniForm != nullptr; }));
        sawForms = MainForm && MainForm->isVisible() && OptiuniForm && !OptiuniForm->isVisible() && AboutForm &&
                   !AboutForm->isVisible();
        Trigger(MainForm, "ButExit");
    });
    EXPECT_EQ(RunParlino(services), 0);
    EXPECT_TRUE(sawForms);
    EXPECT_EQ(MainForm, nullptr);
    EXPECT_EQ(OptiuniForm, nullptr);
    EXPECT_EQ(AboutForm, nullptr);
}

TEST_F(RunParlinoTest, TheWindowComesFirstThenTheMailslotAndTheDialogs)
{
    bool chatOpened = false;
    QTimer::singleShot(0, [&] {
        EXPECT_FALSE(MainForm->WinPopup->Active()) << "the first frame needs no network";
        EXPECT_EQ(OptiuniForm, nullptr) << "nor a dialog";
        EXPECT_TRUE(QTest::qWaitFor([] { return MainForm->WinPopup->Active() && OptiuniForm; }));
        EXPECT_TRUE(mailslots.Deliver("messngr", {'B', 'E', 'T', 'A', 0, 'A', 'L', 'P', 'H', 'A', 0, 'h', 'i'}));
        chatOpened = QTest::qWaitFor([] { return MainForm->Chats.With(QStringLiteral("BETA")) != nullptr; });
        Trigger(MainForm, "ButExit");
    });
    // The fonts are waited for once the window is built and before it is shown, which measures text.
    int fontWaits = 0;
    EXPECT_EQ(
        RunParlino(services, std::nullopt, [&fontWaits] { fontWaits += MainForm && !MainForm->isVisible() ? 1 : 100; }),
        0);
    EXPECT_EQ(fontWaits, 1);
    EXPECT_TRUE(chatOpened);
}

TEST_F(RunParlinoTest, ExitFromTheTrayMenuEndsTheRunWhileTheWindowIsHidden)
{
    QTimer::singleShot(0, [] {
        MainForm->hide();
        Trigger(MainForm, "Exit1");
    });
    EXPECT_EQ(RunParlino(services), 0);
}

} // namespace
} // namespace parlino::test
