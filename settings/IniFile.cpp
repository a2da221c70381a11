#include "settings/IniFile.h"

#include "platform/ProfileStore.h"
#include "settings/IntegerRule.h"

namespace parlino {

int32_t TCustomIniFile::ReadNumber(const QString& section, const QString& key, int32_t defaultValue)
{
    return ParseInteger(ReadText(section, key, QString())).value_or(defaultValue);
}

void TCustomIniFile::WriteNumber(const QString& section, const QString& key, int32_t value)
{
    WriteText(section, key, QString::number(value));
}

void TCustomIniFile::WriteFlag(const QString& section, const QString& key, bool value)
{
    WriteText(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TCustomIniFile::RaiseUnableToWrite() const
{
    throw EIniFileError(QStringLiteral("Unable to write to %1").arg(fileName_).toStdString());
}

QString TIniFile::ReadText(const QString& section, const QString& key, const QString& defaultValue)
{
    return Store().ReadString(FileName(), section, key, defaultValue);
}

void TIniFile::WriteText(const QString& section, const QString& key, const QString& value)
{
    if (!Store().WriteString(FileName(), section, key, value))
        RaiseUnableToWrite();
}

QStringList TIniFile::ReadSections()
{
    return Store().ReadSections(FileName());
}

void TIniFile::EraseSection(const QString& section)
{
    if (!Store().EraseSection(FileName(), section))
        RaiseUnableToWrite();
}

void TIniFile::DeleteKey(const QString& section, const QString& key)
{
    if (!Store().DeleteKey(FileName(), section, key))
        RaiseUnableToWrite();
}

ProfileFile& TMemIniFile::File()
{
    if (!file_)
        file_ = Store().ReadFile(FileName()).value_or(ProfileFile());
    return *file_;
}

QString TMemIniFile::ReadText(const QString& section, const QString& key, const QString& defaultValue)
{
    const auto value = File().Value(section.toStdString(), key.toStdString());
    return value ? QString::fromStdString(*value) : defaultValue;
}

void TMemIniFile::WriteText(const QString& section, const QString& key, const QString& value)
{
    if (!File().SetValue(section.toStdString(), key.toStdString(), value.toStdString()))
        RaiseUnableToWrite();
    written_ = true;
}

QStringList TMemIniFile::ReadSections()
{
    QStringList sections;
    for (const std::string& section : File().Sections())
        sections.append(QString::fromStdString(section));
    return sections;
}

void TMemIniFile::EraseSection(const QString& section)
{
    File().EraseSection(section.toStdString());
    written_ = true;
}

void TMemIniFile::DeleteKey(const QString& section, const QString& key)
{
    File().DeleteKey(section.toStdString(), key.toStdString());
    written_ = true;
}

void TMemIniFile::UpdateFile()
{
    if (!written_)
        return;
    // The file read again is replaced by the one in memory as a whole.
    if (!Store().Update(FileName(), [this](ProfileFile& file) {
            file = File();
            return true;
        }))
        RaiseUnableToWrite();
    written_ = false;
}

} // namespace parlino
