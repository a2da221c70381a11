#include "codec/Rtf.h"
#include "codec/RtfCharset.h"

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <map>
#include <unordered_map>

namespace parlino::rtf {

namespace {

// Deeper groups still nest correctly but share the state of the deepest tracked one, so hostile
// nesting cannot take memory without bound.
constexpr size_t kMaxDepth = 512;
constexpr size_t kMaxWordLength = 32;
// A font name is copied into every run that uses it; a cap keeps a long name from multiplying.
constexpr size_t kMaxFontName = 255;
constexpr int kMaxHalfPoints = 3276;
constexpr char32_t kReplacement = 0xFFFD;

enum class Destination { Text, FontTable, ColorTable, Skip };

enum class Word {
    Unknown,
    Par,
    Plain,
    Deff,
    Destination,
    Font,
    FontCharset,
    FontPitch,
    ColorComponent,
    FontSize,
    Toggle,
    UnderlineNone,
    ColorIndex,
    Unicode,
    UnicodeSkip,
    Binary,
    Character
};

struct State
{
    Destination destination = Destination::Text;
    int font = -1; // -1: the document's default font
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int color = 0;
    int unicodeSkip = 1;

    void ResetCharacter() { *this = State{destination, -1, 24, false, false, false, false, 0, unicodeSkip}; }
};

// What a control word does, and what it acts on where its kind needs it.
struct WordInfo
{
    Word word;
    char32_t character = 0;
    Destination destination = Destination::Text;
    uint8_t Color::*component = nullptr;
    bool State::*format = nullptr;
};

const std::unordered_map<std::string_view, WordInfo>& Words()
{
    static const auto words = [] {
        std::unordered_map<std::string_view, WordInfo> table = {
            {"plain", {Word::Plain}},
            {"deff", {Word::Deff}},
            {"fonttbl", {.word = Word::Destination, .destination = Destination::FontTable}},
            {"colortbl", {.word = Word::Destination, .destination = Destination::ColorTable}},
            {"f", {Word::Font}},
            {"fcharset", {Word::FontCharset}},
            {"fprq", {Word::FontPitch}},
            {"red", {.word = Word::ColorComponent, .component = &Color::red}},
            {"green", {.word = Word::ColorComponent, .component = &Color::green}},
            {"blue", {.word = Word::ColorComponent, .component = &Color::blue}},
            {"fs", {Word::FontSize}},
            {"b", {.word = Word::Toggle, .format = &State::bold}},
            {"i", {.word = Word::Toggle, .format = &State::italic}},
            {"ulnone", {Word::UnderlineNone}},
            {"cf", {Word::ColorIndex}},
            {"u", {Word::Unicode}},
            {"uc", {Word::UnicodeSkip}},
            {"bin", {Word::Binary}},
            {"line", {.word = Word::Character, .character = 0x2028}},
            {"emdash", {.word = Word::Character, .character = 0x2014}},
            {"endash", {.word = Word::Character, .character = 0x2013}},
            {"emspace", {.word = Word::Character, .character = 0x2003}},
            {"enspace", {.word = Word::Character, .character = 0x2002}},
            {"qmspace", {.word = Word::Character, .character = 0x2005}},
            {"bullet", {.word = Word::Character, .character = 0x2022}},
            {"lquote", {.word = Word::Character, .character = 0x2018}},
            {"rquote", {.word = Word::Character, .character = 0x2019}},
            {"ldblquote", {.word = Word::Character, .character = 0x201C}},
            {"rdblquote", {.word = Word::Character, .character = 0x201D}},
        };
        const auto all = [&table](std::initializer_list<std::string_view> names, const WordInfo& info) {
            for (const std::string_view name : names)
                table.emplace(name, info);
        };
        all({"par", "sect", "page", "row"}, {Word::Par});
        // Groups whose text is not part of the document, or not of this program's concern.
        all({"stylesheet",
             "info",
             "pict",
             "object",
             "header",
             "headerl",
             "headerr",
             "headerf",
             "footer",
             "footerl",
             "footerr",
             "footerf",
             "footnote",
             "fldinst",
             "filetbl",
             "listtable",
             "listoverridetable",
             "revtbl",
             "rsidtbl",
             "xmlnstbl",
             "generator",
             "bkmkstart",
             "bkmkend"},
            {.word = Word::Destination, .destination = Destination::Skip});
        // Every style of underline is shown as the one underline.
        all({"ul", "uld", "uldb", "uldash", "ulw", "ulwave", "ulth"},
            {.word = Word::Toggle, .format = &State::underline});
        all({"strike", "striked"}, {.word = Word::Toggle, .format = &State::strikeOut});
        all({"tab", "cell"}, {.word = Word::Character, .character = '\t'});
        return table;
    }();
    return words;
}

struct FontEntry
{
    std::string name;
    int charset = kDefaultCharset;
    Pitch pitch = Pitch::Default;
};

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Reader
{
public:
    explicit Reader(std::string_view bytes) : in_(bytes) {}

    Document Read()
    {
        while (pos_ < in_.size()) {
            const char c = in_[pos_];
            if (c == '{') {
                ++pos_;
                OpenGroup();
            } else if (c == '}') {
                ++pos_;
                if (!CloseGroup())
                    break;
            } else if (c == '\\') {
                ++pos_;
                ControlSequence();
            } else if (c == '\r' || c == '\n' || c == '\0') {
                ++pos_;
            } else {
                RawCharacter();
            }
        }
        return std::move(document_);
    }

private:
    void OpenGroup()
    {
        skipFallback_ = 0;
        if (overflow_ > 0 || stack_.size() >= kMaxDepth)
            ++overflow_;
        else
            stack_.push_back(state_);
    }

    // False once the outermost group has closed: the document ends there.
    bool CloseGroup()
    {
        skipFallback_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return true;
        }
        if (state_.destination == Destination::FontTable)
            CommitFont();
        if (stack_.empty())
            return false;
        state_ = stack_.back();
        stack_.pop_back();
        formatDirty_ = true;
        return !stack_.empty();
    }

    // Characters after \uN stand in for it in readers without Unicode; a group boundary ends them early.
    bool SkippingFallback()
    {
        if (skipFallback_ == 0)
            return false;
        --skipFallback_;
        return true;
    }

    void RawCharacter()
    {
        char32_t code = static_cast<uint8_t>(in_[pos_]);
        if (code < 0x80) {
            ++pos_;
        } else if (const auto decoded = NextUtf8(in_, pos_)) {
            // Seven-bit RTF is the rule, but text handed to us as a string may carry UTF-8 directly.
            code = *decoded;
        } else {
            ++pos_;
            code = DecodeCp1252(static_cast<uint8_t>(code));
        }
        if (SkippingFallback())
            return;
        if (code == ';' && state_.destination == Destination::FontTable) {
            CommitFont();
        } else if (code == ';' && state_.destination == Destination::ColorTable) {
            colors_.push_back(colorSet_ ? std::optional<Color>(pendingColor_) : std::nullopt);
            pendingColor_ = Color{};
            colorSet_ = false;
        } else {
            Character(code);
        }
    }

    void ControlSequence()
    {
        if (pos_ >= in_.size())
            return;
        if (!IsLetter(in_[pos_])) {
            ControlSymbol(in_[pos_++]);
            return;
        }
        const size_t start = pos_;
        while (pos_ < in_.size() && IsLetter(in_[pos_]))
            ++pos_;
        const std::string_view name = in_.substr(start, pos_ - start);
        const auto [hasParameter, parameter] = Parameter();
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_;
        if (SkippingFallback())
            return;
        ControlWord(name.size() <= kMaxWordLength ? name : std::string_view(), hasParameter, parameter);
    }

    // Digits beyond what an int holds are consumed and saturate, so huge numbers cost nothing.
    std::pair<bool, int> Parameter()
    {
        const bool negative = pos_ + 1 < in_.size() && in_[pos_] == '-' && IsDigit(in_[pos_ + 1]);
        if (negative)
            ++pos_;
        if (pos_ >= in_.size() || !IsDigit(in_[pos_]))
            return {false, 0};
        constexpr long long kLimit = std::numeric_limits<int>::max();
        long long value = 0;
        while (pos_ < in_.size() && IsDigit(in_[pos_])) {
            value = std::min(value * 10 + (in_[pos_] - '0'), kLimit + 1);
            ++pos_;
        }
        value = negative ? -value : std::min(value, kLimit);
        return {true, static_cast<int>(value)};
    }

    void ControlSymbol(char symbol)
    {
        if (symbol == '\'') {
            HexCharacter();
            return;
        }
        if (SkippingFallback())
            return;
        switch (symbol) {
        case '\\':
        case '{':
        case '}':
            Character(static_cast<unsigned char>(symbol));
            break;
        case '~':
            Character(0xA0);
            break;
        case '_':
            Character(0x2011);
            break;
        case '*':
            state_.destination = Destination::Skip;
            break;
        case '\r':
        case '\n':
            Paragraph();
            break;
        default:
            break;
        }
    }

    // A cut-off \'h consumes its one digit and yields nothing.
    void HexCharacter()
    {
        int value = 0;
        int digits = 0;
        while (digits < 2 && pos_ < in_.size() && HexValue(in_[pos_]) >= 0) {
            value = value * 16 + HexValue(in_[pos_++]);
            ++digits;
        }
        if (SkippingFallback() || digits < 2)
            return;
        Character(DecodeCp1252(static_cast<uint8_t>(value)));
    }

    void ControlWord(std::string_view name, bool hasParameter, int parameter)
    {
        const auto found = Words().find(name);
        if (found == Words().end())
            return;
        const WordInfo& info = found->second;
        const bool on = !hasParameter || parameter != 0;
        if (info.word == Word::Binary) {
            pos_ += std::min(static_cast<size_t>(std::max(parameter, 0)), in_.size() - pos_);
            return;
        }
        if (state_.destination == Destination::Skip)
            return;
        switch (info.word) {
        case Word::Par:
            if (state_.destination == Destination::Text)
                Paragraph();
            break;
        case Word::Plain:
            state_.ResetCharacter();
            formatDirty_ = true;
            break;
        case Word::Deff:
            defaultFont_ = parameter;
            formatDirty_ = true;
            break;
        case Word::Destination:
            state_.destination = info.destination;
            break;
        case Word::Font:
            if (state_.destination == Destination::FontTable) {
                CommitFont();
                fontNumber_ = parameter;
                pendingFont_ = FontEntry{};
                fontOpen_ = true;
            } else {
                SetFormat(state_.font, parameter);
            }
            break;
        case Word::FontCharset:
            pendingFont_.charset = std::clamp(parameter, 0, 255);
            break;
        case Word::FontPitch:
            pendingFont_.pitch = parameter == 1 ? Pitch::Fixed : parameter == 2 ? Pitch::Variable : Pitch::Default;
            break;
        case Word::ColorComponent:
            SetColorComponent(pendingColor_.*info.component, parameter);
            break;
        case Word::FontSize:
            if (hasParameter && parameter > 0)
                SetFormat(state_.halfPoints, std::min(parameter, kMaxHalfPoints));
            break;
        case Word::Toggle:
            SetFormat(state_.*info.format, on);
            break;
        case Word::UnderlineNone:
            SetFormat(state_.underline, false);
            break;
        case Word::ColorIndex:
            SetFormat(state_.color, parameter);
            break;
        case Word::Unicode:
            Unicode(parameter);
            skipFallback_ = state_.unicodeSkip;
            break;
        case Word::UnicodeSkip:
            state_.unicodeSkip = std::max(parameter, 0);
            break;
        case Word::Character:
            Character(info.character);
            break;
        case Word::Binary:
        case Word::Unknown:
            break;
        }
    }

    template <typename T> void SetFormat(T& field, T value)
    {
        field = value;
        formatDirty_ = true;
    }

    // An entry of the colour table with no component given stands for the default colour.
    void SetColorComponent(uint8_t& component, int value)
    {
        component = static_cast<uint8_t>(std::clamp(value, 0, 255));
        colorSet_ = true;
    }

    void Unicode(int parameter)
    {
        const long long value = parameter < 0 ? parameter + 0x10000LL : parameter;
        const char32_t code = value >= 0 && value <= 0xFFFF ? static_cast<char32_t>(value) : kReplacement;
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (highSurrogate_)
                Character(kReplacement);
            highSurrogate_ = code;
            return;
        }
        if (code >= 0xDC00 && code <= 0xDFFF && highSurrogate_) {
            const char32_t high = highSurrogate_;
            highSurrogate_ = 0;
            Character(0x10000 + ((high - 0xD800) << 10) + (code - 0xDC00));
            return;
        }
        Character(code);
    }

    void Character(char32_t code)
    {
        if (highSurrogate_) {
            highSurrogate_ = 0;
            Character(kReplacement);
        }
        switch (state_.destination) {
        case Destination::Text:
            AppendText(code);
            break;
        case Destination::FontTable:
            if (fontOpen_ && pendingFont_.name.size() < kMaxFontName)
                AppendUtf8(pendingFont_.name, code);
            break;
        case Destination::ColorTable:
        case Destination::Skip:
            break;
        }
    }

    void AppendText(char32_t code)
    {
        std::vector<Run>& runs = document_.paragraphs.back().runs;
        if (formatDirty_) {
            format_ = CurrentFormat();
            formatDirty_ = false;
            runMatches_ = !runs.empty() && runs.back().format == format_;
        }
        if (!runMatches_) {
            runs.push_back(Run{{}, format_});
            runMatches_ = true;
        }
        AppendUtf8(runs.back().text, code);
    }

    // The open tail starts with the ended paragraph's mark, so an empty tail shows in the last format used.
    void Paragraph()
    {
        highSurrogate_ = 0;
        const CharFormat mark = CurrentFormat();
        document_.paragraphs.back().mark = mark;
        document_.paragraphs.push_back(rtf::Paragraph{{}, mark});
        runMatches_ = false;
    }

    void CommitFont()
    {
        if (!fontOpen_)
            return;
        std::string& name = pendingFont_.name;
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        fonts_[fontNumber_] = std::move(pendingFont_);
        pendingFont_ = FontEntry{};
        fontOpen_ = false;
        formatDirty_ = true;
    }

    CharFormat CurrentFormat() const
    {
        CharFormat format;
        const auto font = fonts_.find(state_.font < 0 ? defaultFont_ : state_.font);
        if (font != fonts_.end()) {
            format.fontName = font->second.name;
            format.charset = font->second.charset;
            format.pitch = font->second.pitch;
        }
        format.halfPoints = state_.halfPoints;
        format.bold = state_.bold;
        format.italic = state_.italic;
        format.underline = state_.underline;
        format.strikeOut = state_.strikeOut;
        if (state_.color >= 0 && static_cast<size_t>(state_.color) < colors_.size())
            format.color = colors_[static_cast<size_t>(state_.color)];
        return format;
    }

    std::string_view in_;
    size_t pos_ = 0;
    std::vector<State> stack_;
    size_t overflow_ = 0;
    State state_;
    Document document_;

    std::map<int, FontEntry> fonts_;
    int defaultFont_ = 0;
    int fontNumber_ = 0;
    FontEntry pendingFont_;
    bool fontOpen_ = false;

    std::vector<std::optional<Color>> colors_;
    Color pendingColor_;
    bool colorSet_ = false;

    int skipFallback_ = 0;
    char32_t highSurrogate_ = 0;

    CharFormat format_;
    bool formatDirty_ = true;
    bool runMatches_ = false;
};

} // namespace

std::optional<Document> Read(std::string_view bytes)
{
    if (!bytes.starts_with("{\\rtf"))
        return std::nullopt;
    return Reader(bytes).Read();
}

} // namespace parlino::rtf
