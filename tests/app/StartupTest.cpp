#include "app/Startup.h"

#include "platform/InstanceLock.h"
#include "platform/MachineStore.h"
#include "tests/app/AppFixture.h"
#include "tests/support/Files.h"
#include "tests/support/Trigger.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
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

TEST(MachineStoreTest, ReadsTheValueOfItsSectionAndGivesEmptyForAnythingMissing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("machine.ini"));
    ASSERT_TRUE(
        WriteWholeFile(path, "[Other]\nInstallPath=/wrong\n[software\\parlino]\ninstallpath = /usr/share/parlino \n"));

    EXPECT_EQ(IniMachineStore(path).ReadString(QStringLiteral("SOFTWARE\\Parlino"), QStringLiteral("InstallPath")),
              QStringLiteral("/usr/share/parlino"));
    EXPECT_EQ(IniMachineStore(path).ReadString(QStringLiteral("SOFTWARE\\Parlino"), QStringLiteral("Missing")),
              QString());
    EXPECT_EQ(IniMachineStore(dir.filePath(QStringLiteral("none.ini")))
                  .ReadString(QStringLiteral("SOFTWARE\\Parlino"), QStringLiteral("InstallPath")),
              QString());
    // A folder where the file should be: unreadable as a file.
    EXPECT_EQ(
        IniMachineStore(dir.path()).ReadString(QStringLiteral("SOFTWARE\\Parlino"), QStringLiteral("InstallPath")),
        QString());
}

TEST(MachineStoreTest, TheEnvironmentChoosesTheFile)
{
    qputenv("PARLINO_MACHINE_INI", "/tmp/elsewhere.ini");
    EXPECT_EQ(IniMachineStore::DefaultPath(), QStringLiteral("/tmp/elsewhere.ini"));
    qunsetenv("PARLINO_MACHINE_INI");
    EXPECT_EQ(IniMachineStore::DefaultPath(), QStringLiteral("/etc/parlino/machine.ini"));
}

using RunParlinoTest = AppFixture;

TEST_F(RunParlinoTest, MakesTheThreeFormsRunsUntilExitAndReturnsZero)
{
    bool sawForms = false;
    QTimer::singleShot(0, [&] {
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
