#include "platform/ProfileStore.h"

#include "codec/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <filesystem>

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
// QSaveFile alone would let root replace it.
bool IsWritable(const QFileInfo& info)
{
    constexpr auto kAnyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.permissions().testAnyFlags(kAnyWrite) && info.isWritable();
}

// Whether target can be replaced by a file written next to it.
bool CanReplace(const QString& target)
{
    const QFileInfo file(target);
    if (file.exists() && (!file.isFile() || !IsWritable(file)))
        return false;
    const QFileInfo folder(file.absolutePath());
    return folder.isDir() && IsWritable(folder);
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
    return !CanonicalName(fileName).isEmpty() && Load(fileName, text) && text.size() <= MaxFileSize;
}

QString ProfileStore::ReadString(const QString& fileName, const QString& section, const QString& key,
                                 const QString& defaultValue)
{
    std::string text;
    if (!LoadText(fileName, text))
        return defaultValue;
    const auto value = ProfileFile(text).Value(section.toStdString(), key.toStdString());
    return value ? QString::fromStdString(*value) : defaultValue;
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
        return file.SetValue(section.toStdString(), key.toStdString(), value.toStdString());
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

bool FileProfileStore::Load(const QString& fileName, std::string& text)
{
    text.clear();
    QFile file(PathOf(fileName));
    // A missing file reads as empty; one that is there but cannot be read (a folder, no permission) fails.
    if (!file.open(QIODevice::ReadOnly)) {
        std::error_code error;
        return std::filesystem::status(QFile::encodeName(file.fileName()).toStdString(), error).type() ==
               std::filesystem::file_type::not_found;
    }
    // One byte more than a settings file may hold is enough to tell that this one is too big.
    text = file.read(static_cast<qint64>(MaxFileSize) + 1).toStdString();
    return file.error() == QFileDevice::NoError;
}

QString FileProfileStore::TargetOf(const QString& fileName) const
{
    // Through a symbolic link to the file it names, so that a linked settings file stays linked.
    const QString path = PathOf(fileName);
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

// QSaveFile writes a file next to the target, flushes it to the disk and renames it over the target: the rename is
// atomic, so the target is never seen half written. It gives the new file the old one's permissions.
bool FileProfileStore::Save(const QString& fileName, const std::string& text)
{
    QDir().mkpath(folder_);
    const QString target = TargetOf(fileName);
    if (!CanReplace(target))
        return false;
    QSaveFile file(target);
    return file.open(QIODevice::WriteOnly) &&
           file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()) &&
           file.commit();
}

bool FileProfileStore::Writable(const QString& fileName)
{
    return CanReplace(TargetOf(fileName));
}

} // namespace parlino
