#include "codec/ProfileFile.h"
#include "platform/FileSaver.h"
#include "platform/ProfileStore.h"
#include "tests/support/Files.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/Wait.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace parlino {
namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs write in a child process whose files may not grow beyond limit bytes, as on a disk that fills; whether the write
// reported success.
bool UnderFileSizeLimit(rlim_t limit, const std::function<bool()>& write)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit size{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &size);
        ::_exit(write() ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    return !WIFEXITED(status) || WEXITSTATUS(status) == 0;
}

class FileProfileStoreTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString folder = dir.filePath("config/parlino");
    FileProfileStore store{folder};
    QString path = folder + "/parlino.ini";
};

TEST_F(FileProfileStoreTest, BothSpellingsNameOneFileCreatedOnFirstWrite)
{
    EXPECT_EQ(store.ReadString("parlino.ini", "s", "k", "none"), "none");
    EXPECT_FALSE(QDir(folder).exists());
    ASSERT_TRUE(store.WriteString("Parlino.ini", "Optiuni", "EditWav_Text", "/tmp/a.wav"));
    EXPECT_EQ(store.ReadString("parlino.ini", "optiuni", "editwav_text", ""), "/tmp/a.wav");
    EXPECT_EQ(Contents(path), "[Optiuni]\nEditWav_Text=/tmp/a.wav\n");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"parlino.ini"});
}

TEST_F(FileProfileStoreTest, RefusesNamesWithAFolder)
{
    EXPECT_FALSE(store.WriteString("../evil.ini", "s", "k", "v"));
    EXPECT_FALSE(store.WriteString("", "s", "k", "v"));
    EXPECT_EQ(store.ReadString("..", "s", "k", "d"), "d");
}

TEST_F(FileProfileStoreTest, ReadOnlyFileOrFolderFailsAndChangesNothing)
{
    ASSERT_TRUE(store.WriteString("parlino.ini", "s", "k", "1"));
    const struct
    {
        QString target;
        mode_t mode;
    } cases[] = {{path, 0444}, {folder, 0555}};
    for (const auto& c : cases) {
        ::chmod(QFile::encodeName(c.target).constData(), c.mode);
        EXPECT_FALSE(store.WriteString("parlino.ini", "s", "k", "2")) << c.target.toStdString();
        EXPECT_FALSE(store.WriteString("parlino.ini", "s", "k", "1")) << "unchanged, " << c.target.toStdString();
        EXPECT_FALSE(store.EraseSection("parlino.ini", "s"));
        EXPECT_EQ(store.FailureOf("parlino.ini"), path + ": Permission denied");
        ::chmod(QFile::encodeName(c.target).constData(), c.target == path ? 0644 : 0755);
        EXPECT_EQ(Contents(path), "[s]\nk=1\n");
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

TEST_F(FileProfileStoreTest, KeepsPermissionsAndSymbolicLinks)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString real = dir.filePath("dotfiles.ini");
    QFile(real).open(QIODevice::WriteOnly);
    ::chmod(QFile::encodeName(real).constData(), 0640);
    ASSERT_TRUE(QFile::link(real, path));
    ASSERT_TRUE(store.WriteString("parlino.ini", "s", "k", "v"));
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(Contents(real), "[s]\nk=v\n");
    struct stat status
    {
    };
    ::stat(QFile::encodeName(real).constData(), &status);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST_F(FileProfileStoreTest, AnythingButARegularFileInItsPlaceReadsAsDefaultsAndIsNotReplaced)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    QLocalServer socket;
    const std::tuple<const char*, std::function<bool()>, QString> cases[] = {
        {"folder", [&] { return QDir().mkpath(path); }, "Is a directory"},
        {"pipe", [&] { return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0; }, "not a regular file"},
        {"socket", [&] { return socket.listen(path); }, "not a regular file"},
        {"device", [&] { return QFile::link("/dev/null", path); }, "not a regular file"},
    };
    for (const auto& [label, make, reason] : cases) {
        ASSERT_TRUE(make()) << label;
        EXPECT_EQ(store.ReadString("parlino.ini", "s", "k", "d"), "d") << label;
        EXPECT_EQ(store.ReadProblem("parlino.ini"), path + ": " + reason) << label;
        EXPECT_FALSE(store.WriteString("parlino.ini", "s", "k", "v")) << label;
        EXPECT_FALSE(QFileInfo(path).isFile()) << label;
        socket.close();
        QFile::remove(path);
        QDir().rmdir(path);
    }
    EXPECT_EQ(store.ReadProblem("parlino.ini"), "") << "a missing file is no problem";
}

// A disk that fills while the file is written: every writer that replaces a file must fail and keep the old one.
TEST_F(FileProfileStoreTest, AWriteCutShortFailsAndKeepsTheOldFile)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    const QByteArray old = "[s]\nk=old\n";
    const QString big(3000, 'x');
    DiskFileSaver saver;
    const std::pair<const char*, std::function<bool()>> cases[] = {
        {"settings", [&] { return store.WriteString("parlino.ini", "s", "k", big); }},
        {"transcript", [&] { return saver.Save(path, big.toUtf8()) == SaveResult::Saved; }},
    };
    for (const auto& [label, write] : cases) {
        ASSERT_TRUE(test::WriteWholeFile(path, old));
        EXPECT_FALSE(UnderFileSizeLimit(1000, write)) << label;
        EXPECT_EQ(Contents(path), old) << label;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"parlino.ini"}) << label;
    }
}

TEST_F(FileProfileStoreTest, AFileTooBigToBeOursReadsAsDefaultsAndIsNeverReplaced)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const std::size_t size : {ProfileStore::MaxFileSize, ProfileStore::MaxFileSize + 1}) {
        const QByteArray text = "[s]\nk=v\n" + QByteArray(static_cast<qsizetype>(size) - 8, ';');
        ASSERT_TRUE(test::WriteWholeFile(path, text));
        const bool ours = size <= ProfileStore::MaxFileSize;
        EXPECT_EQ(store.ReadString("parlino.ini", "s", "k", "d"), ours ? "v" : "d") << size;
        EXPECT_EQ(store.WriteString("parlino.ini", "s", "k", "w"), ours) << size;
        if (!ours) {
            EXPECT_EQ(Contents(path), text);
        }
    }
}

// The writer half of the crash test, run in a child process that the test kills.
TEST(ProfileStoreCrashWriterTest, WritesUntilKilled)
{
    const QString folder = qEnvironmentVariable("PARLINO_CRASH_WRITER_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "runs only as the child of the crash test";
    // Each round writes other values, so the test sees when this one has begun.
    const int round = qEnvironmentVariableIntValue("PARLINO_CRASH_WRITER_ROUND");
    FileProfileStore store(folder);
    for (int i = 0;; ++i)
        store.WriteString("parlino.ini", "Crash", QString("K%1").arg(i % 40),
                          QString(4000, QChar('0' + (i + round) % 10)));
}

TEST(ProfileStoreCrashTest, AKilledWriterNeverLeavesADamagedFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("parlino.ini");
    ASSERT_TRUE(test::WriteWholeFile(path, "[Crash]\n[Other]\nkept=yes\n"));

    std::size_t keysSeen = 0;
    for (int round = 0; round < 6; ++round) {
        QProcess writer;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PARLINO_CRASH_WRITER_DIR", dir.path());
        environment.insert("PARLINO_CRASH_WRITER_ROUND", QString::number(round + 1));
        writer.setProcessEnvironment(environment);
        writer.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=ProfileStoreCrashWriterTest.*"});
        const QByteArray before = Contents(path);
        ASSERT_TRUE(writer.waitForStarted());
        // Killed at varied moments once it is writing, however slowly a loaded machine started it: after one more
        // write seen each round.
        QByteArray seen = before;
        int writesSeen = 0;
        ASSERT_TRUE(test::WaitUntil(
            [&] {
                const QByteArray now = Contents(path);
                writesSeen += now != seen;
                seen = now;
                return writesSeen > round;
            },
            20000));
        writer.kill();
        writer.waitForFinished();

        const QByteArray text = Contents(path);
        ASSERT_TRUE(text.endsWith('\n'));
        const ProfileFile file(text.toStdString());
        EXPECT_EQ(file.Value("Other", "kept"), "yes");
        keysSeen += file.Keys("Crash").size();
        for (const std::string& key : file.Keys("Crash")) {
            const std::string value = file.Value("Crash", key).value_or("");
            ASSERT_EQ(value.size(), 2047u) << key;
            EXPECT_EQ(value.find_first_not_of(value[0]), std::string::npos) << key;
        }
    }
    EXPECT_GT(keysSeen, 0u) << "the writer never got to write";
}

} // namespace
} // namespace parlino
