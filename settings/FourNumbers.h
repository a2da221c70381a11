#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace parlino {

class TCustomIniFile;

using FourNumbers = std::array<int32_t, 4>;

// "(%dx%d)" of the primary screen's size: a key with it holds the value for that screen size only.
QString ScreenSuffix(int width, int height);

// "%d,%d,%d,%d".
QString FormatFourNumbers(const FourNumbers& numbers);

// Splits text into words at blanks and commas (a run counting as one separator) and reads words 1 to 4 by the
// integer rule; a missing or malformed word leaves its number as it was. False, with nothing read, for empty text.
bool ParseFourNumbers(const QString& text, FourNumbers& numbers);

// Reads key + suffix, or the plain key when that is empty, through FetchText. False when both are empty.
bool FetchFourNumbers(TCustomIniFile& file, const QString& section, const QString& key, const QString& suffix,
                      FourNumbers& numbers);
// Writes key + suffix and then the plain key through StoreText.
void StoreFourNumbers(TCustomIniFile& file, const QString& section, const QString& key, const QString& suffix,
                      const FourNumbers& numbers);

} // namespace parlino
