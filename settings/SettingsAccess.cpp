#include "settings/SettingsAccess.h"

#include "settings/IniFile.h"

namespace parlino {

namespace {

bool IsQuoted(const QString& value)
{
    return !value.isEmpty() && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front();
}

} // namespace

QString FetchText(TCustomIniFile& file, const QString& section, const QString& key, const QString& defaultValue)
{
    return file.ReadText(section, key, defaultValue);
}

void StoreText(TCustomIniFile& file, const QString& section, const QString& key, const QString& value)
{
    file.WriteText(section, key, IsQuoted(value) ? u'"' + value + u'"' : value);
}

int32_t FetchNumber(TCustomIniFile& file, const QString& section, const QString& key, int32_t defaultValue)
{
    return file.ReadNumber(section, key, defaultValue);
}

void StoreNumber(TCustomIniFile& file, const QString& section, const QString& key, int32_t value)
{
    file.WriteNumber(section, key, value);
}

} // namespace parlino
