#include "codec/ProfileFile.h"

#include <algorithm>
#include <cstdint>

namespace parlino {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char FoldCase(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    // Names are nearly always spelled alike, and then one comparison of the bytes tells.
    return a.size() == b.size() && (a == b || std::equal(a.begin(), a.end(), b.begin(),
                                                         [](char x, char y) { return FoldCase(x) == FoldCase(y); }));
}

// Where the first line ends: the index of its CR or LF, or the size of the text. Two searches for one character
// each, because find_first_of calls memchr on its set for every character of the text.
std::size_t LineEnd(std::string_view text)
{
    const std::size_t lineFeed = std::min(text.find('\n'), text.size());
    return std::min(text.substr(0, lineFeed).find('\r'), lineFeed);
}

bool HasLineBreak(std::string_view text)
{
    return LineEnd(text) != text.size();
}

// Cuts after the given number of UTF-8 characters without splitting one. A byte that cannot continue a character
// (a stray continuation byte, or more than three after a lead byte) counts as a character of its own.
std::string_view CutCharacters(std::string_view text, std::size_t count)
{
    std::size_t characters = 0;
    int continuations = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) == 0x80 && continuations > 0) {
            --continuations;
            continue;
        }
        if (characters++ == count)
            return text.substr(0, i);
        continuations = byte >= 0xC0 ? 3 : 0;
    }
    return text;
}

void AddOnce(std::vector<std::string>& names, std::string_view name)
{
    if (std::none_of(names.begin(), names.end(), [name](const std::string& known) { return SameName(known, name); }))
        names.emplace_back(name);
}

} // namespace

ProfileFile::ProfileFile(std::string_view text)
{
    if (text.starts_with(ByteOrderMark)) {
        hasByteOrderMark_ = true;
        text.remove_prefix(ByteOrderMark.size());
    }
    // The lines in one allocation: nearly every line ends with a line feed, and memchr counts them quickly.
    std::size_t lineFeeds = 0;
    for (std::size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1))
        ++lineFeeds;
    lines_.reserve(lineFeeds + 1);
    while (!text.empty()) {
        const std::size_t end = LineEnd(text);
        lines_.push_back(Classify(std::string(text.substr(0, end))));
        std::size_t next = end;
        if (next < text.size())
            next += text.compare(next, 2, "\r\n") == 0 ? 2 : 1;
        text.remove_prefix(next);
    }
}

ProfileFile::Line ProfileFile::Classify(std::string text)
{
    Line line;
    line.text = std::move(text);
    const std::string_view view = line.text;
    const std::size_t first =
        static_cast<std::size_t>(std::find_if_not(view.begin(), view.end(), IsBlank) - view.begin());
    if (first == view.size() || view[first] == ';' || view[first] == '#')
        return line;

    if (view[first] == '[') {
        const std::size_t close = view.find(']', first);
        if (close != std::string_view::npos) {
            const std::string_view name = TrimBlanks(view.substr(first + 1, close - first - 1));
            line.kind = LineKind::Section;
            line.nameBegin = name.empty() ? 0 : static_cast<std::size_t>(name.data() - view.data());
            line.nameLength = name.size();
            line.nameTag = NameTag(name);
            return line;
        }
    }

    const std::size_t equals = view.find('=');
    if (equals == std::string_view::npos)
        return line;
    const std::string_view name = TrimBlanks(view.substr(0, equals));
    if (name.empty())
        return line;
    line.kind = LineKind::Key;
    line.nameBegin = static_cast<std::size_t>(name.data() - view.data());
    line.nameLength = name.size();
    line.nameTag = NameTag(name);
    return line;
}

// The length with the first and the last eight bytes, each byte without the 0x20 bit in which the cases of an ASCII
// letter differ: the same for names that match, nearly always different for others, and quick to take for every line.
std::uint64_t ProfileFile::NameTag(std::string_view name)
{
    constexpr std::uint64_t kWithoutCase = ~std::uint64_t{0x2020202020202020};
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    name.copy(reinterpret_cast<char*>(&first), sizeof(first));
    name.substr(name.size() - std::min(name.size(), sizeof(last))).copy(reinterpret_cast<char*>(&last), sizeof(last));
    return ((first & kWithoutCase) * 0x9E3779B97F4A7C15u) ^ (last & kWithoutCase) ^ name.size();
}

bool ProfileFile::Line::NameMatches(std::string_view name) const
{
    return SameName(Name(), name);
}

std::size_t ProfileFile::FindSection(std::string_view section) const
{
    section = TrimBlanks(section);
    if (section.empty())
        return lines_.size();
    const std::uint64_t tag = NameTag(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].Holds(LineKind::Section, section, tag))
            return i;
    }
    return lines_.size();
}

std::size_t ProfileFile::SectionEnd(std::size_t header) const
{
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != LineKind::Section)
        ++i;
    return i;
}

std::optional<std::string> ProfileFile::Value(std::string_view section, std::string_view key) const
{
    key = TrimBlanks(key);
    const std::size_t header = FindSection(section);
    if (header == lines_.size() || key.empty())
        return std::nullopt;
    const std::uint64_t tag = NameTag(key);
    for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != LineKind::Section; ++i) {
        const Line& line = lines_[i];
        if (!line.Holds(LineKind::Key, key, tag))
            continue;
        std::string_view value = TrimBlanks(std::string_view(line.text).substr(line.text.find('=') + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.front() == value.back())
            value = value.substr(1, value.size() - 2);
        return std::string(CutCharacters(value, MaxValueLength));
    }
    return std::nullopt;
}

bool ProfileFile::SetValue(std::string_view section, std::string_view key, std::string_view value)
{
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
        section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos || key.front() == '[' ||
        key.front() == ';' || key.front() == '#')
        return false;

    std::string text;
    text.reserve(key.size() + 1 + value.size());
    text.append(key).append("=").append(value);

    std::size_t header = FindSection(section);
    if (header == lines_.size()) {
        lines_.push_back(Classify("[" + std::string(section) + "]"));
        lines_.push_back(Classify(std::move(text)));
        return true;
    }
    const std::size_t end = SectionEnd(header);
    const std::uint64_t tag = NameTag(key);
    std::size_t insertAt = header + 1;
    for (std::size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind != LineKind::Key)
            continue;
        if (lines_[i].Holds(LineKind::Key, key, tag)) {
            lines_[i] = Classify(std::move(text));
            return true;
        }
        insertAt = i + 1;
    }
    // After the section's last key, so that blank lines and comments before the next section stay with that one.
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), Classify(std::move(text)));
    return true;
}

void ProfileFile::EraseSection(std::string_view section)
{
    for (std::size_t header = FindSection(section); header != lines_.size(); header = FindSection(section)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
    }
}

void ProfileFile::DeleteKey(std::string_view section, std::string_view key)
{
    key = TrimBlanks(key);
    const std::size_t header = FindSection(section);
    if (header == lines_.size())
        return;
    const auto begin = lines_.begin() + static_cast<std::ptrdiff_t>(header + 1);
    const auto end = lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header));
    const std::uint64_t tag = NameTag(key);
    lines_.erase(
        std::remove_if(begin, end, [key, tag](const Line& line) { return line.Holds(LineKind::Key, key, tag); }), end);
}

std::vector<std::string> ProfileFile::Sections() const
{
    std::vector<std::string> names;
    for (const Line& line : lines_) {
        if (line.kind != LineKind::Section || line.nameLength == 0)
            continue;
        AddOnce(names, line.Name());
    }
    return names;
}

std::vector<std::string> ProfileFile::Keys(std::string_view section) const
{
    std::vector<std::string> names;
    const std::size_t header = FindSection(section);
    if (header == lines_.size())
        return names;
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const Line& line = lines_[i];
        if (line.kind != LineKind::Key)
            continue;
        AddOnce(names, line.Name());
    }
    return names;
}

std::string ProfileFile::Text() const
{
    std::size_t size = hasByteOrderMark_ ? ByteOrderMark.size() : 0;
    for (const Line& line : lines_)
        size += line.text.size() + 1;
    std::string text;
    text.reserve(size);
    if (hasByteOrderMark_)
        text.append(ByteOrderMark);
    for (const Line& line : lines_)
        text.append(line.text).append("\n");
    return text;
}

} // namespace parlino
