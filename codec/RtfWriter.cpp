#include "codec/Rtf.h"
#include "codec/RtfCharset.h"

#include <map>
#include <tuple>

namespace parlino::rtf {

namespace {

using FontKey = std::tuple<std::string, int, Pitch>;

FontKey KeyOf(const CharFormat& format)
{
    return {format.fontName, format.charset, format.pitch};
}

// The font and colour tables, numbered in order of first use.
class Tables
{
public:
    explicit Tables(const Document& document)
    {
        const size_t last = document.paragraphs.size() - 1;
        for (size_t i = 0; i < document.paragraphs.size(); ++i) {
            const Paragraph& paragraph = document.paragraphs[i];
            for (const Run& run : paragraph.runs)
                Add(run.format);
            if (i != last)
                Add(paragraph.mark);
        }
    }

    int Font(const CharFormat& format) const { return fonts_.at(KeyOf(format)); }

    // 0 is the automatic colour: the table's first entry is left empty.
    int Color(const CharFormat& format) const { return format.color ? colors_.at(ColorKey(*format.color)) : 0; }

    void WriteHeader(std::string& out) const;

private:
    static uint32_t ColorKey(const rtf::Color& color) { return color.red << 16 | color.green << 8 | color.blue; }

    void Add(const CharFormat& format)
    {
        if (fonts_.emplace(KeyOf(format), static_cast<int>(fontOrder_.size())).second)
            fontOrder_.push_back(KeyOf(format));
        if (format.color && colors_.emplace(ColorKey(*format.color), static_cast<int>(colorOrder_.size()) + 1).second)
            colorOrder_.push_back(*format.color);
    }

    std::map<FontKey, int> fonts_;
    std::vector<FontKey> fontOrder_;
    std::map<uint32_t, int> colors_;
    std::vector<rtf::Color> colorOrder_;
};

void AppendHexByte(std::string& out, uint8_t byte)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\'";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 15];
}

void AppendUnicode(std::string& out, char32_t code)
{
    auto unit = [&out](char32_t value) {
        out += "\\u" + std::to_string(value <= 0x7FFF ? static_cast<int>(value) : static_cast<int>(value) - 0x10000);
    };
    if (code >= 0x10000) {
        code -= 0x10000;
        unit(0xD800 + (code >> 10));
        out += '?';
        unit(0xDC00 + (code & 0x3FF));
        out += '?';
        return;
    }
    unit(code);
    // Readers without Unicode support show the Windows-1252 byte when there is one.
    const auto fallback = EncodeCp1252(code);
    if (fallback)
        AppendHexByte(out, *fallback);
    else
        out += '?';
}

// The visible stand-in of a control character: word processors read a control written as \'hh as
// structure (a page break, a field mark), so it goes out as its picture from the Control Pictures block.
char32_t ControlPicture(char32_t control)
{
    return control == 0x7F ? 0x2421 : 0x2400 + control;
}

// Received text is data: every character that RTF could read as markup, and everything outside
// seven-bit ASCII, is escaped.
void AppendEscaped(std::string& out, std::string_view text, bool inFontTable)
{
    size_t pos = 0;
    while (pos < text.size()) {
        auto code = NextUtf8(text, pos);
        if (!code) {
            ++pos;
            code = 0xFFFD;
        }
        const char32_t c = *code;
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == ';' && inFontTable) {
            AppendHexByte(out, ';');
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == 0x2028) {
            out += "\\line ";
        } else if (c == '\r' || c == '\n') {
            // A line end reads back as itself; the transcript keeps them between lines, never inside one.
            AppendHexByte(out, static_cast<uint8_t>(c));
        } else if (c < 0x20 || c == 0x7F) {
            AppendUnicode(out, ControlPicture(c));
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            AppendUnicode(out, c);
        }
    }
}

void Tables::WriteHeader(std::string& out) const
{
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
    for (size_t i = 0; i < fontOrder_.size(); ++i) {
        const auto& [name, charset, pitch] = fontOrder_[i];
        out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset" + std::to_string(charset);
        if (pitch != Pitch::Default)
            out += "\\fprq" + std::to_string(static_cast<int>(pitch));
        out += ' ';
        AppendEscaped(out, name, true);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (const rtf::Color& color : colorOrder_) {
        out += "\\red" + std::to_string(color.red) + "\\green" + std::to_string(color.green) + "\\blue" +
               std::to_string(color.blue) + ';';
    }
    out += "}\r\n";
}

void AppendFormat(std::string& out, const Tables& tables, const CharFormat& format)
{
    out += "\\plain\\f" + std::to_string(tables.Font(format)) + "\\fs" + std::to_string(format.halfPoints);
    if (const int color = tables.Color(format))
        out += "\\cf" + std::to_string(color);
    if (format.bold)
        out += "\\b";
    if (format.italic)
        out += "\\i";
    if (format.underline)
        out += "\\ul";
    if (format.strikeOut)
        out += "\\strike";
    out += ' ';
}

void AppendParagraph(std::string& out, const Tables& tables, const Paragraph& paragraph, bool ended)
{
    out += "\\pard";
    const CharFormat* current = nullptr;
    for (const Run& run : paragraph.runs) {
        if (run.text.empty())
            continue;
        if (!current || !(*current == run.format))
            AppendFormat(out, tables, run.format);
        current = &run.format;
        AppendEscaped(out, run.text, false);
    }
    if (!ended)
        return;
    if (!current || !(*current == paragraph.mark))
        AppendFormat(out, tables, paragraph.mark);
    out += "\\par\r\n";
}

bool HasText(const Paragraph& paragraph)
{
    for (const Run& run : paragraph.runs) {
        if (!run.text.empty())
            return true;
    }
    return false;
}

} // namespace

std::string Write(const Document& document)
{
    if (document.paragraphs.empty())
        return Write(Document{});
    const Tables tables(document);
    std::string out;
    tables.WriteHeader(out);
    const size_t last = document.paragraphs.size() - 1;
    for (size_t i = 0; i < last; ++i)
        AppendParagraph(out, tables, document.paragraphs[i], true);
    if (HasText(document.paragraphs[last]))
        AppendParagraph(out, tables, document.paragraphs[last], false);
    out += "}\r\n";
    return out;
}

} // namespace parlino::rtf
