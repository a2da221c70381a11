#include "platform/HostNameClaims.h"
#include "tests/support/Wait.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace parlino::test {
namespace {

// One Parlino on the offscreen platform, in a session of its own, on loopback only.
class ParlinoProcess
{
public:
    ParlinoProcess(const QString& runtimeDir, const QString& netbiosName)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), runtimeDir + QStringLiteral("/config"));
        env.insert(QStringLiteral("PARLINO_INTERFACES"), QStringLiteral("lo"));
        env.insert(QStringLiteral("PARLINO_NBT_PORT"), QStringLiteral("41483"));
        env.insert(QStringLiteral("PARLINO_NETBIOS_NAME"), netbiosName);
        env.insert(QStringLiteral("PARLINO_MACHINE_INI"), runtimeDir + QStringLiteral("/none.ini"));
        process.setProcessEnvironment(env);
        process.setProgram(QStringLiteral(PARLINO_BINARY));
    }
    ~ParlinoProcess()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(5000))
                process.kill();
            process.waitForFinished(5000);
        }
    }

    QProcess process;
};

// Looks at the lock through /proc instead of trying to take it: a probe that took the lock, even for a
// moment, would make a Parlino starting at that moment give way to it as to a first copy.
bool LockHeldBy(const QProcess& process, const QString& runtimeDir)
{
    const QString lockFile = QFileInfo(QDir(runtimeDir).filePath(QStringLiteral("Parlino.lock"))).canonicalFilePath();
    if (lockFile.isEmpty() || process.state() != QProcess::Running)
        return false;
    const QString proc = QStringLiteral("/proc/%1/").arg(process.processId());
    const QStringList descriptors =
        QDir(proc + QStringLiteral("fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& descriptor : descriptors) {
        if (QFile::symLinkTarget(proc + QStringLiteral("fd/") + descriptor) != lockFile)
            continue;
        QFile info(proc + QStringLiteral("fdinfo/") + descriptor);
        if (info.open(QIODevice::ReadOnly) && info.readAll().contains("FLOCK"))
            return true;
    }
    return false;
}

// Parlino takes the end signal over once its window exists; before that the signal's default action ends it
// without a word. /proc says which signals a process catches (a mask in hex; bit 14 is the 15th, SIGTERM).
bool CatchesEndSignal(const QProcess& process)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> 14) & 1;
    }
    return false;
}

// Whether the process runs on until told to end, and then ends through its window with 0.
void EndsWhenToldWithZero(QProcess& process)
{
    ASSERT_TRUE(WaitUntil([&] { return CatchesEndSignal(process); }, 20000));
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(5000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
}

TEST(SecondCopyTest, ExitsWithZeroWithinASecondWhileTheFirstRunsOn)
{
    QTemporaryDir session;
    ParlinoProcess first(session.path(), QStringLiteral("FIRSTCOPY"));
    first.process.start();
    ASSERT_TRUE(first.process.waitForStarted());
    ASSERT_TRUE(WaitUntil([&] { return LockHeldBy(first.process, session.path()); }, 10000));

    ParlinoProcess second(session.path(), QStringLiteral("FIRSTCOPY"));
    QElapsedTimer elapsed;
    elapsed.start();
    second.process.start();
    ASSERT_TRUE(second.process.waitForFinished(1000));
    EXPECT_LT(elapsed.elapsed(), 1000);
    EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process.exitCode(), 0);
    EXPECT_TRUE(second.process.readAll().isEmpty());

    EXPECT_TRUE(LockHeldBy(first.process, session.path()));
    EndsWhenToldWithZero(first.process);
}

TEST(SecondCopyTest, ACopyThatDiedLeavesNothingBehindThatBlocksTheNext)
{
    QTemporaryDir session;
    {
        ParlinoProcess crashed(session.path(), QStringLiteral("CRASHED"));
        crashed.process.start();
        ASSERT_TRUE(WaitUntil([&] { return LockHeldBy(crashed.process, session.path()); }, 10000));
        crashed.process.kill();
        crashed.process.waitForFinished();
    }
    ParlinoProcess next(session.path(), QStringLiteral("CRASHED"));
    next.process.start();
    EXPECT_TRUE(WaitUntil([&] { return LockHeldBy(next.process, session.path()); }, 10000));
    EXPECT_EQ(next.process.state(), QProcess::Running);
}

TEST(TerminationTest, ASignalToEndClosesParlinoThroughItsWindow)
{
    QTemporaryDir session;
    ParlinoProcess parlino(session.path(), QStringLiteral("ENDING"));
    parlino.process.start();
    EndsWhenToldWithZero(parlino.process);
}

TEST(MailslotHeldElsewhereTest, ParlinoStartsAndRunsOn)
{
    QTemporaryDir session;
    const auto held = AbstractSocketClaims().TryClaim("mailslot/HELDSLOT/MESSNGR");
    ASSERT_NE(held.claim, nullptr);

    ParlinoProcess parlino(session.path(), QStringLiteral("HELDSLOT"));
    parlino.process.start();
    EndsWhenToldWithZero(parlino.process);
}

} // namespace
} // namespace parlino::test
