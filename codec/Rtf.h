#pragma once

// Rich Text Format as the transcript needs it: a document is a list of paragraphs of formatted runs.
// Plain C++ without Qt, so the reader can be fuzzed on its own.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlino::rtf {

struct Color
{
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Color&) const = default;
};

// Pitch numbers as RTF's \fprq writes them.
enum class Pitch { Default = 0, Fixed = 1, Variable = 2 };

constexpr int kDefaultCharset = 1;

struct CharFormat
{
    std::string fontName; // empty: the reader's default font
    int charset = kDefaultCharset;
    Pitch pitch = Pitch::Default;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::optional<Color> color; // none: the reader's automatic colour
    bool operator==(const CharFormat&) const = default;
};

// Text in UTF-8; a tab is '\t' and a line break inside a paragraph is U+2028.
struct Run
{
    std::string text;
    CharFormat format;
    bool operator==(const Run&) const = default;
};

struct Paragraph
{
    std::vector<Run> runs;
    CharFormat mark; // the format of the paragraph mark, which an empty paragraph shows in
    bool operator==(const Paragraph&) const = default;
};

// Every paragraph but the last ends with a paragraph mark; the last one is the open tail after the last
// mark and is often empty. A document therefore always holds at least one paragraph.
struct Document
{
    std::vector<Paragraph> paragraphs{Paragraph{}};
    bool operator==(const Document&) const = default;
};

// Nullopt when the bytes do not start as RTF ("{\rtf"); malformed RTF is read as far as it makes sense.
std::optional<Document> Read(std::string_view bytes);

// Seven-bit RTF that Read gives back unchanged (runs of equal format merged, empty runs dropped).
std::string Write(const Document& document);

} // namespace parlino::rtf
