#pragma once

#include "codec/ProfileFile.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace parlino {

// The profile operations: named settings files of sections and keys, with the rules of ProfileFile. Every operation
// loads the file, and every change saves the whole file, so nothing is cached between calls. A file name is a bare
// name; names that differ only in case name the same file.
class ProfileStore
{
public:
    // A bigger file is not one the program wrote: it reads as a file that cannot be read, so it gives the defaults
    // and is never replaced.
    static constexpr std::size_t MaxFileSize = 1024 * 1024;

    virtual ~ProfileStore() = default;

    // The key's value (see ProfileFile::Value), or defaultValue when the file, the section or the key is missing or
    // the file cannot be read.
    QString ReadString(const QString& fileName, const QString& section, const QString& key,
                       const QString& defaultValue);
    // Creates the file and the section as needed. False when the file cannot be written or the names or the value
    // cannot be stored as given; the file is then unchanged.
    bool WriteString(const QString& fileName, const QString& section, const QString& key, const QString& value);

    QStringList ReadSections(const QString& fileName);
    QStringList ReadKeys(const QString& fileName, const QString& section);
    bool EraseSection(const QString& fileName, const QString& section);
    bool DeleteKey(const QString& fileName, const QString& section, const QString& key);

    // For callers that handle many keys together: the file parsed once; nullopt when it cannot be read.
    std::optional<ProfileFile> ReadFile(const QString& fileName);
    // Runs change on the file parsed once and saves the result in one replacement, so that all of the changes are
    // made or none. False, with the file unchanged, when it cannot be read or written or change gives false. A file
    // that already holds the result is not saved again, but it must be writable.
    bool Update(const QString& fileName, const std::function<bool(ProfileFile&)>& change);

    // Where the file is and why the last operation on it failed, for messages, such as
    // "/home/ann/.config/parlino/parlino.ini: No space left on device"; the bare place when no reason is known.
    QString FailureOf(const QString& fileName) const;
    // Why the file is ignored (it exists but cannot be read, or is too big), in the words of FailureOf; empty when
    // it reads or is missing.
    QString ReadProblem(const QString& fileName);
    // Where the file is, for messages: by default its name.
    virtual QString PlaceOf(const QString& fileName) const { return fileName; }

protected:
    // The file's bytes into text, empty for a missing file; false when the file exists but cannot be read, which
    // keeps a write from replacing content it never saw.
    virtual bool Load(const QString& fileName, std::string& text) = 0;
    // Replaces the whole file by text, all or nothing.
    virtual bool Save(const QString& fileName, const std::string& text) = 0;
    // Whether Save could replace the file.
    virtual bool Writable(const QString& fileName) = 0;

    // Records why the operation under way fails; false, for one-line returns.
    bool Fail(QString reason);

    // The name that stands for the file: ASCII lower case; empty when fileName is not a bare file name.
    static QString CanonicalName(const QString& fileName);

private:
    // Load, for bare names and files within MaxFileSize only.
    bool LoadText(const QString& fileName, std::string& text);
    template <typename Change> bool Modify(const QString& fileName, Change change);

    QString reason_;
};

// Settings files in one folder on disk. Each save writes a temporary file in that folder, flushes it to the disk and
// renames it over the file, so a crash, a power cut or a full disk leaves either the old or the new file, never a part
// of one or an empty one. Only regular files are read: a pipe, socket or device in the file's place reads as a file
// that cannot be read, without waiting on it.
class FileProfileStore final : public ProfileStore
{
public:
    // The folder is created on the first write when it does not exist.
    explicit FileProfileStore(QString folder);

    // $XDG_CONFIG_HOME/parlino, or ~/.config/parlino.
    static QString DefaultFolder();
    // Where the file of that name lives; empty when the name is not a bare file name.
    QString PathOf(const QString& fileName) const;
    QString PlaceOf(const QString& fileName) const override;

protected:
    bool Load(const QString& fileName, std::string& text) override;
    bool Save(const QString& fileName, const std::string& text) override;
    bool Writable(const QString& fileName) override;

private:
    QString TargetOf(const QString& fileName) const;

    QString folder_;
};

} // namespace parlino
