#include "platform/ProfileStore.h"

#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace parlino {

namespace {

QStringList ToStringList(const std::vector<std::string>& names)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        list.append(QString::fromStdString(name));
    return list;
}

// A file or folder without any write permission counts as read-only even for root, as a read-only attribute would.
bool IsWritable(const std::string& path, const struct stat& status)
{
    return (status.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
}

bool WriteAll(int fd, const std::string& text)
{
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool ReadAll(int fd, std::string& text)
{
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count == 0)
            return true;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
}

// Whether target can be replaced by a file written next to it; gives the mode for the new file.
bool CanReplace(const std::filesystem::path& target, mode_t& mode)
{
    mode = 0644;
    struct stat status
    {
    };
    if (::stat(target.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode) || !IsWritable(target, status))
            return false;
        mode = status.st_mode & 07777;
    } else if (errno != ENOENT) {
        return false;
    }
    struct stat folderStatus
    {
    };
    return ::stat(target.parent_path().c_str(), &folderStatus) == 0 && IsWritable(target.parent_path(), folderStatus);
}

// Writes text to a new file next to target and renames it over target: the rename is atomic, and the data is on the
// disk before it, so target is never seen half written.
bool ReplaceFile(const std::filesystem::path& target, const std::string& text)
{
    mode_t mode = 0;
    if (!CanReplace(target, mode))
        return false;
    std::string temporary = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fdatasync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

} // namespace

QString ProfileStore::CanonicalName(const QString& fileName)
{
    if (fileName.isEmpty() || fileName == u"." || fileName == u".." || fileName.contains(u'/') ||
        fileName.contains(QChar(0)))
        return {};
    return fileName.toLower();
}

QString ProfileStore::ReadString(const QString& fileName, const QString& section, const QString& key,
                                 const QString& defaultValue)
{
    std::string text;
    if (CanonicalName(fileName).isEmpty() || !Load(fileName, text))
        return defaultValue;
    const auto value = ProfileFile(text).Value(section.toStdString(), key.toStdString());
    return value ? QString::fromStdString(*value) : defaultValue;
}

template <typename Change> bool ProfileStore::Modify(const QString& fileName, Change change)
{
    std::string text;
    if (CanonicalName(fileName).isEmpty() || !Load(fileName, text))
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
    std::string text;
    if (CanonicalName(fileName).isEmpty() || !Load(fileName, text))
        return false;
    ProfileFile file(text);
    if (!file.SetValue(section.toStdString(), key.toStdString(), value.toStdString()))
        return false;
    std::string changed = file.Text();
    // A file that already holds the value is left alone, which spares a flush to the disk; it must still be
    // writable, so that a read-only file is reported at every write.
    if (changed == text)
        return Writable(fileName);
    return Save(fileName, changed);
}

QStringList ProfileStore::ReadSections(const QString& fileName)
{
    std::string text;
    if (CanonicalName(fileName).isEmpty() || !Load(fileName, text))
        return {};
    return ToStringList(ProfileFile(text).Sections());
}

QStringList ProfileStore::ReadKeys(const QString& fileName, const QString& section)
{
    std::string text;
    if (CanonicalName(fileName).isEmpty() || !Load(fileName, text))
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

bool FileProfileStore::Load(const QString& fileName, std::string& text)
{
    text.clear();
    const QByteArray path = QFile::encodeName(PathOf(fileName));
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR;
    const bool ok = ReadAll(fd, text);
    ::close(fd);
    return ok;
}

std::filesystem::path FileProfileStore::TargetOf(const QString& fileName) const
{
    std::filesystem::path target = QFile::encodeName(PathOf(fileName)).toStdString();
    // Through a symbolic link to the file it names, so that a linked settings file stays linked.
    std::error_code error;
    if (const auto resolved = std::filesystem::canonical(target, error); !error)
        target = resolved;
    return target;
}

bool FileProfileStore::Save(const QString& fileName, const std::string& text)
{
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(folder_).toStdString(), error);
    return ReplaceFile(TargetOf(fileName), text);
}

bool FileProfileStore::Writable(const QString& fileName)
{
    mode_t mode = 0;
    return CanReplace(TargetOf(fileName), mode);
}

} // namespace parlino
