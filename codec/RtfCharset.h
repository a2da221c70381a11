#pragma once

// The character conversions RTF needs: Windows-1252 for \'hh bytes and UTF-8 for the document's text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parlino::rtf {

char32_t DecodeCp1252(uint8_t byte);
std::optional<uint8_t> EncodeCp1252(char32_t code);

// Surrogates and values above U+10FFFF are written as U+FFFD, so the output is always valid UTF-8.
void AppendUtf8(std::string& out, char32_t code);

// Decodes one well-formed UTF-8 sequence at pos and moves past it; nullopt (pos unchanged) otherwise.
std::optional<char32_t> NextUtf8(std::string_view bytes, size_t& pos);

} // namespace parlino::rtf
