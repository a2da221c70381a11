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
    return store_.ReadString(FileName(), section, key, defaultValue);
}

void TIniFile::WriteText(const QString& section, const QString& key, const QString& value)
{
    if (!store_.WriteString(FileName(), section, key, value))
        RaiseUnableToWrite();
}

QStringList TIniFile::ReadSections()
{
    return store_.ReadSections(FileName());
}

void TIniFile::EraseSection(const QString& section)
{
    if (!store_.EraseSection(FileName(), section))
        RaiseUnableToWrite();
}

void TIniFile::DeleteKey(const QString& section, const QString& key)
{
    if (!store_.DeleteKey(FileName(), section, key))
        RaiseUnableToWrite();
}

} // namespace parlino
