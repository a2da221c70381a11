#pragma once

#include <QString>

#include <cstdint>

namespace parlino {

class TCustomIniFile;

// The four ways in which the settings components reach a settings file.

QString FetchText(TCustomIniFile& file, const QString& section, const QString& key, const QString& defaultValue);
// A value that begins and ends with the same quote character gets one more pair of double quotes, because a read
// removes one enclosing pair: every value reads back exactly as it was stored.
void StoreText(TCustomIniFile& file, const QString& section, const QString& key, const QString& value);
int32_t FetchNumber(TCustomIniFile& file, const QString& section, const QString& key, int32_t defaultValue);
void StoreNumber(TCustomIniFile& file, const QString& section, const QString& key, int32_t value);

} // namespace parlino
