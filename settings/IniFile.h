#pragma once

#include "codec/ProfileFile.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <stdexcept>

namespace parlino {

class ProfileStore;

// Raised when a settings file cannot be written; the message names the file and, where known, why.
class EIniFileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A settings file of the profile store seen as sections of keys. Numbers and flags are texts of the same keys.
class TCustomIniFile
{
public:
    TCustomIniFile(ProfileStore& store, QString fileName) : store_(store), fileName_(std::move(fileName)) {}
    virtual ~TCustomIniFile() = default;

    const QString& FileName() const { return fileName_; }

    virtual QString ReadText(const QString& section, const QString& key, const QString& defaultValue) = 0;
    // Raises EIniFileError "Unable to write to <file>" when the file cannot be written, naming where the file is and
    // why it failed.
    virtual void WriteText(const QString& section, const QString& key, const QString& value) = 0;
    virtual QStringList ReadSections() = 0;
    virtual void EraseSection(const QString& section) = 0;
    virtual void DeleteKey(const QString& section, const QString& key) = 0;

    // The key's text by the integer rule; defaultValue when the key is missing or its text breaks the rule.
    int32_t ReadNumber(const QString& section, const QString& key, int32_t defaultValue);
    void WriteNumber(const QString& section, const QString& key, int32_t value);
    // "1" or "0".
    void WriteFlag(const QString& section, const QString& key, bool value);

protected:
    ProfileStore& Store() const { return store_; }
    // With the store's account of its last failure.
    [[noreturn]] void RaiseUnableToWrite() const;
    [[noreturn]] static void RaiseUnableToWriteTo(const QString& place);

private:
    ProfileStore& store_;
    QString fileName_;
};

// A settings file of the profile store. It keeps nothing but its name, so every call reaches the file itself.
class TIniFile final : public TCustomIniFile
{
public:
    using TCustomIniFile::TCustomIniFile;

    QString ReadText(const QString& section, const QString& key, const QString& defaultValue) override;
    void WriteText(const QString& section, const QString& key, const QString& value) override;
    QStringList ReadSections() override;
    void EraseSection(const QString& section) override;
    void DeleteKey(const QString& section, const QString& key) override;
};

// A settings file read once into memory, for the reading or writing of a whole section: reads come from memory and
// changes stay there until UpdateFile saves them in one replacement of the file, so that a section is saved whole
// or not at all.
class TMemIniFile final : public TCustomIniFile
{
public:
    using TCustomIniFile::TCustomIniFile;

    QString ReadText(const QString& section, const QString& key, const QString& defaultValue) override;
    // Raises EIniFileError at once only for names or a value that the file cannot hold.
    void WriteText(const QString& section, const QString& key, const QString& value) override;
    QStringList ReadSections() override;
    void EraseSection(const QString& section) override;
    void DeleteKey(const QString& section, const QString& key) override;

    // Saves what was written since the last save, if anything; raises EIniFileError when the file cannot be written,
    // which then keeps all of its previous content.
    void UpdateFile();

private:
    // Read on first use; a file that cannot be read is taken as empty, and cannot be saved.
    ProfileFile& File();

    std::optional<ProfileFile> file_;
    bool written_ = false;
};

} // namespace parlino
