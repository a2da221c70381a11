#include "platform/ProfileStore.h"

#include "codec/ProfileFile.h"
#include "platform/ByteText.h"
#include "platform/FileReplacement.h"
#include "platform/UniqueFd.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace parlino {

namespace {

QString NotRegular()
{
    return QStringLiteral("not a regular file");
}

QStringList ToStringList(const std::vector<std::string>& names)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        list.append(QString::fromStdString(name));
    return list;
}

// A file or folder without any write permission counts as read-only even for root, as a read-only attribute would.
// A rename alone would let root replace it.
bool IsWritable(const QFileInfo& info)
{
    constexpr auto kAnyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.permissions().testAnyFlags(kAnyWrite) && info.isWritable();
}

// Why a file of this kind is not read as a settings file; empty for a regular file.
QString KindProblem(const struct stat& status)
{
    if (S_ISDIR(status.st_mode))
        return SystemReason(EISDIR);
    return S_ISREG(status.st_mode) ? QString() : NotRegular();
}

// Up to limit bytes from fd into text, empty on a failure, which leaves errno set.
bool ReadAtMost(int fd, std::size_t limit, std::string& text)
{
    // Grown by what comes rather than made as large as the limit at once, which would fill a megabyte at every
    // read of a settings file of a few hundred bytes.
    std::array<char, 16384> chunk{};
    text.clear();
    while (text.size() < limit) {
        const ssize_t got = ::read(fd, chunk.data(), std::min(chunk.size(), limit - text.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            text.clear();
            return false;
        }
        if (got == 0)
            break;
        text.append(chunk.data(), static_cast<std::size_t>(got));
    }
    return true;
}

// Why target cannot be replaced by a file written next to it; empty when it can.
QString ReplaceProblem(const QString& target)
{
    const QFileInfo file(target);
    if (file.isDir())
        return SystemReason(EISDIR);
    if (file.exists() && !file.isFile())
        return NotRegular();
    if (file.exists() && !IsWritable(file))
        return SystemReason(EACCES);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return SystemReason(ENOENT);
    return IsWritable(folder) ? QString() : SystemReason(EACCES);
}

} // namespace

QString ProfileStore::CanonicalName(const QString& fileName)
{
    if (fileName.isEmpty() || fileName == u"." || fileName == u".." || fileName.contains(u'/') ||
        fileName.contains(QChar(0)))
        return {};
    return fileName.toLower();
}

bool ProfileStore::LoadText(const QString& fileName, std::string& text)
{
    reason_.clear();
    if (CanonicalName(fileName).isEmpty() || !Load(fileName, text))
        return false;
    return text.size() <= MaxFileSize || Fail(QStringLiteral("bigger than a settings file can be"));
}

bool ProfileStore::Fail(QString reason)
{
    reason_ = std::move(reason);
    return false;
}

QString ProfileStore::FailureOf(const QString& fileName) const
{
    return reason_.isEmpty() ? PlaceOf(fileName) : PlaceOf(fileName) + QStringLiteral(": ") + reason_;
}

QString ProfileStore::ReadProblem(const QString& fileName)
{
    std::string text;
    return LoadText(fileName, text) ? QString() : FailureOf(fileName);
}

QString ProfileStore::ReadString(const QString& fileName, const QString& section, const QString& key,
                                 const QString& defaultValue)
{
    std::string text;
    if (!LoadText(fileName, text))
        return defaultValue;
    const auto value = ProfileFile(text).Value(section.toStdString(), key.toStdString());
    return value ? TextOfBytes(*value) : defaultValue;
}

template <typename Change> bool ProfileStore::Modify(const QString& fileName, Change change)
{
    std::string text;
    if (!LoadText(fileName, text))
        return false;
    ProfileFile file(text);
    change(file);
    std::string changed = file.Text();
    // Removing what is not there leaves a missing file missing.
    if (changed == text)
        return true;
    return Save(fileName, changed);
}

bool ProfileStore::WriteString(const QString& fileName, const QString& section, const QString& key,
                               const QString& value)
{
    return Update(fileName, [&](ProfileFile& file) {
        return file.SetValue(section.toStdString(), key.toStdString(), BytesOfText(value));
    });
}

std::optional<ProfileFile> ProfileStore::ReadFile(const QString& fileName)
{
    std::string text;
    if (!LoadText(fileName, text))
        return std::nullopt;
    return ProfileFile(text);
}

bool ProfileStore::Update(const QString& fileName, const std::function<bool(ProfileFile&)>& change)
{
    std::string text;
    if (!LoadText(fileName, text))
        return false;
    ProfileFile file(text);
    if (!change(file))
        return false;
    std::string changed = file.Text();
    // A file that already holds the values is left alone, which spares a flush to the disk; it must still be
    // writable, so that a read-only file is reported at every write.
    if (changed == text)
        return Writable(fileName);
    return Save(fileName, changed);
}

QStringList ProfileStore::ReadSections(const QString& fileName)
{
    std::string text;
    if (!LoadText(fileName, text))
        return {};
    return ToStringList(ProfileFile(text).Sections());
}

QStringList ProfileStore::ReadKeys(const QString& fileName, const QString& section)
{
    std::string text;
    if (!LoadText(fileName, text))
        return {};
    return ToStringList(ProfileFile(text).Keys(section.toStdString()));
}

bool ProfileStore::EraseSection(const QString& fileName, const QString& section)
{
    return Modify(fileName, [&section](ProfileFile& file) { file.EraseSection(section.toStdString()); });
}

bool ProfileStore::DeleteKey(const QString& fileName, const QString& section, const QString& key)
{
    return Modify(fileName,
                  [&section, &key](ProfileFile& file) { file.DeleteKey(section.toStdString(), key.toStdString()); });
}

FileProfileStore::FileProfileStore(QString folder) : folder_(std::move(folder)) {}

QString FileProfileStore::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/parlino");
}

QString FileProfileStore::PathOf(const QString& fileName) const
{
    const QString name = CanonicalName(fileName);
    return name.isEmpty() ? QString() : QDir(folder_).filePath(name);
}

QString FileProfileStore::PlaceOf(const QString& fileName) const
{
    const QString path = PathOf(fileName);
    return path.isEmpty() ? fileName : path;
}

bool FileProfileStore::Load(const QString& fileName, std::string& text)
{
    text.clear();
    const QByteArray path = QFile::encodeName(PathOf(fileName));
    struct stat status
    {
    };
    // A missing file reads as empty; one that is there but cannot be read fails.
    if (::stat(path.constData(), &status) != 0)
        return errno == ENOENT || Fail(SystemReason(errno));
    if (const QString problem = KindProblem(status); !problem.isEmpty())
        return Fail(problem);
    // Without blocking, and checked again once open: a pipe put there meanwhile would wait for a writer for ever.
    const UniqueFd fd(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd || ::fstat(fd.Get(), &status) != 0)
        return Fail(SystemReason(errno));
    if (const QString problem = KindProblem(status); !problem.isEmpty())
        return Fail(problem);
    // One byte more than a settings file may hold is enough to tell that this one is too big.
    return ReadAtMost(fd.Get(), MaxFileSize + 1, text) || Fail(SystemReason(errno));
}

QString FileProfileStore::TargetOf(const QString& fileName) const
{
    // Through a symbolic link to the file it names, so that a linked settings file stays linked.
    const QString path = PathOf(fileName);
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

bool FileProfileStore::Save(const QString& fileName, const std::string& text)
{
    QDir().mkpath(folder_);
    const QString target = TargetOf(fileName);
    if (const QString problem = ReplaceProblem(target); !problem.isEmpty())
        return Fail(problem);
    const ReplaceResult result = ReplaceFile(target, text);
    return result.Replaced() || Fail(result.failure);
}

bool FileProfileStore::Writable(const QString& fileName)
{
    const QString problem = ReplaceProblem(TargetOf(fileName));
    return problem.isEmpty() || Fail(problem);
}

} // namespace parlino
