#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlino {

// A profile ("INI") text held in memory. Plain C++ without Qt, so that the parser can be fuzzed on its own.
//
// How the text is read:
// - a line ends at LF, CR LF or a lone CR, and the last line needs no line end;
// - a UTF-8 byte-order mark at the very start is skipped;
// - a line whose first non-blank character is "[" and which holds a "]" opens a section; the name is what lies
//   between them, without blanks at either end, and anything after the "]" is ignored;
// - inside a section a line "key=value" holds a key: the key is the text before the first "=" without blanks at
//   either end and must not be empty;
// - lines whose first non-blank character is ";" or "#" are comments; they, blank lines, other lines without "="
//   and lines before the first section are never keys;
// - section and key names match without regard to ASCII case;
// - when a section name or a key repeats, the first one counts; the later ones are kept but never read or changed.
//
// Every line that a change does not touch is written back byte for byte, a byte-order mark included; every line is
// written with LF. Names and values are bytes (UTF-8 in practice), never validated, so any file can be read.
class ProfileFile
{
public:
    // A read gives at most this many characters, as the platform's 2048-character buffer with its terminator did.
    static constexpr std::size_t MaxValueLength = 2047;

    ProfileFile() = default;
    explicit ProfileFile(std::string_view text);

    // The value with blanks removed at both ends and then one pair of enclosing equal quotes (' or ") removed, cut
    // to MaxValueLength characters; nullopt when the section or the key does not exist.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

    // Rewrites the key's line, or adds the key at the end of its section, or adds the section at the end of the
    // text. False, with nothing changed, when the names or the value would not read back as given: an empty name, a
    // line break anywhere, "]" in the section name, "=" in the key or a key beginning like a section or comment.
    bool SetValue(std::string_view section, std::string_view key, std::string_view value);

    // Removes every section of that name with all its lines.
    void EraseSection(std::string_view section);
    // Removes every line of that key from the section that counts.
    void DeleteKey(std::string_view section, std::string_view key);

    // Section names in the order of the file, each name once, spelled as it first appears.
    std::vector<std::string> Sections() const;
    // Key names of the section that counts, in the order of the file, each once.
    std::vector<std::string> Keys(std::string_view section) const;

    std::string Text() const;

private:
    enum class LineKind { Other, Section, Key };

    struct Line
    {
        std::string text;
        LineKind kind = LineKind::Other;
        // The section or key name, as offsets into text.
        std::size_t nameBegin = 0;
        std::size_t nameLength = 0;
        // NameTag of the name: a lookup passes over lines of other names with one comparison.
        std::uint64_t nameTag = 0;

        std::string_view Name() const { return std::string_view(text).substr(nameBegin, nameLength); }
        // Whether the line is of that kind and holds that name, whose NameTag is tag.
        bool Holds(LineKind wanted, std::string_view name, std::uint64_t tag) const
        {
            return kind == wanted && nameTag == tag && NameMatches(name);
        }
        bool NameMatches(std::string_view name) const;
    };

    static Line Classify(std::string text);
    // Equal for names that match.
    static std::uint64_t NameTag(std::string_view name);
    // Index of the first header of the section, or lines_.size().
    std::size_t FindSection(std::string_view section) const;
    // Index just past the last line of the section whose header is at index header.
    std::size_t SectionEnd(std::size_t header) const;

    bool hasByteOrderMark_ = false;
    std::vector<Line> lines_;
};

} // namespace parlino
