#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>

namespace parlino {

// The integer rule of the settings file: leading blanks, then either an optional sign and decimal digits within the
// 32-bit range, or "$", "x", "X", "0x" or "0X" and one to eight hexadecimal digits taken as a 32-bit pattern, and
// nothing after. Any other text, the empty text included, is malformed and gives nullopt.
std::optional<int32_t> ParseInteger(std::string_view text);
std::optional<int32_t> ParseInteger(const QString& text);

} // namespace parlino
