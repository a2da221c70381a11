#include "platform/MachineStore.h"

#include "tests/support/Files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace parlino::test {
namespace {

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

} // namespace
} // namespace parlino::test
