#include "codec/Rtf.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace parlino::rtf {
namespace {

std::vector<std::string> Texts(const Document& document)
{
    std::vector<std::string> texts;
    for (const Paragraph& paragraph : document.paragraphs) {
        std::string text;
        for (const rtf::Run& run : paragraph.runs)
            text += run.text;
        texts.push_back(text);
    }
    return texts;
}

std::vector<std::string> ReadTexts(const std::string& rtf)
{
    const auto document = Read(rtf);
    EXPECT_TRUE(document) << rtf;
    return document ? Texts(*document) : std::vector<std::string>{};
}

CharFormat Format(std::string font, int halfPoints)
{
    CharFormat format;
    format.fontName = std::move(font);
    format.halfPoints = halfPoints;
    return format;
}

Document Lines(const std::vector<rtf::Run>& runs)
{
    Document document;
    document.paragraphs.clear();
    for (const rtf::Run& run : runs)
        document.paragraphs.push_back(Paragraph{{run}, run.format});
    document.paragraphs.push_back(Paragraph{{}, runs.back().format});
    return document;
}

TEST(RtfTest, RoundTripKeepsTextAndFormat)
{
    CharFormat plain = Format("MS Sans Serif", 20);
    CharFormat blue = plain;
    blue.color = Color{0, 0, 255};
    CharFormat styled = Format("Courier New", 17);
    styled.bold = styled.italic = styled.underline = styled.strikeOut = true;
    styled.charset = 238;
    styled.pitch = Pitch::Fixed;
    styled.color = Color{12, 200, 7};
    CharFormat variable = Format("Tahoma", 72);
    variable.pitch = Pitch::Variable;
    variable.charset = 0;

    const std::vector<rtf::Run> cases = {
        {"ALICE > Hi ", blue},
        {"back\\slash {braces} \\par", plain},
        {"<b>x</b> {\\rtf1 x}", plain},
        {"caf\xC3\xA9 \xE2\x82\xAC \xE6\xBC\xA2 \xF0\x9F\x98\x80 \xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         styled},
        {"tab\there\xE2\x80\xA8"
         "break",
         variable},
        {"line\rends\nend", plain},
        {"   leading and trailing   ", styled},
        {"semi;colon 0123 \\u65 \\'41", blue},
    };
    for (const rtf::Run& run : cases) {
        const Document document = Lines({run});
        const std::string written = Write(document);
        const auto read = Read(written);
        ASSERT_TRUE(read) << written;
        EXPECT_EQ(*read, document) << written;
    }
    const Document all = Lines(cases);
    EXPECT_EQ(Read(Write(all)), all);
}

TEST(RtfTest, WriterEmitsSevenBitWithEscapes)
{
    const std::string written = Write(Lines({{"{\\}\xC3\xA9\xE2\x82\xAC", Format("Arial", 20)}}));
    for (const char c : written)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80) << written;
    EXPECT_TRUE(written.starts_with("{\\rtf1\\ansi")) << written;
    EXPECT_NE(written.find("{\\fonttbl{\\f0\\fnil\\fcharset1 Arial;}}"), std::string::npos) << written;
    EXPECT_NE(written.find("\\{\\\\\\}\\u233\\'e9\\u8364\\'80\\par"), std::string::npos) << written;
}

// A word processor takes a control written as a byte for structure (a page break, a field mark): each goes
// out as its picture, which is what reads back.
TEST(RtfTest, ControlCharactersAreWrittenAsTheirPictures)
{
    struct Case
    {
        std::string text;
        std::string written;
        std::string read;
    };
    const std::vector<Case> cases = {
        {std::string(1, '\0'), "\\u9216?", "\xE2\x90\x80"},
        {"\x01", "\\u9217?", "\xE2\x90\x81"},
        {"\a", "\\u9223?", "\xE2\x90\x87"},
        {"\v", "\\u9227?", "\xE2\x90\x8B"},
        {"\f", "\\u9228?", "\xE2\x90\x8C"},
        {"\x1B", "\\u9243?", "\xE2\x90\x9B"},
        {"\x1F", "\\u9247?", "\xE2\x90\x9F"},
        {"\x7F", "\\u9249?", "\xE2\x90\xA1"},
        {"\t", "\\tab ", "\t"},
    };
    for (const Case& c : cases) {
        const std::string written = Write(Lines({{"<" + c.text + ">", Format("Arial", 20)}}));
        EXPECT_NE(written.find("<" + c.written + ">"), std::string::npos) << written;
        EXPECT_EQ(ReadTexts(written), (std::vector<std::string>{"<" + c.read + ">", ""})) << written;
    }
}

TEST(RtfTest, RunsMergeAndTheTailNeedsNoParagraphMark)
{
    Document document;
    const CharFormat format = Format("Arial", 20);
    document.paragraphs = {Paragraph{{{"a", format}, {"b", format}}, format}, Paragraph{{{"open", format}}, format}};
    const auto read = Read(Write(document));
    ASSERT_TRUE(read);
    EXPECT_EQ(Texts(*read), (std::vector<std::string>{"ab", "open"}));
    EXPECT_EQ(read->paragraphs[0].runs.size(), 1u);
}

TEST(RtfTest, InitialTranscriptIsOneEmptyLineInEightPoint)
{
    const std::string initial =
        "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil MS Sans Serif;}{\\f1\\froman\\fcharset2 Symbol;}"
        "{\\f2\\fswiss\\fcharset1 MS Sans Serif;}{\\f3\\fswiss\\fcharset1 MS Sans Serif;}}\r\n"
        "{\\colortbl\\red0\\green0\\blue0;}\r\n"
        "\\deflang1033\\pard\\plain\\f3\\fs16 \r\n"
        "\\par }\r\n";
    const auto document = Read(initial);
    ASSERT_TRUE(document);
    EXPECT_EQ(Texts(*document), (std::vector<std::string>{"", ""}));
    const CharFormat& mark = document->paragraphs[0].mark;
    EXPECT_EQ(mark.fontName, "MS Sans Serif");
    EXPECT_EQ(mark.halfPoints, 16);
    EXPECT_EQ(mark.color, (Color{0, 0, 0}));
}

struct ReadCase
{
    const char* name;
    std::string rtf;
    std::vector<std::string> texts;
};

TEST(RtfTest, ReadsWhatCommonEditorsWrite)
{
    const std::vector<ReadCase> cases = {
        {"wordpad",
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}}\r\n"
         "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
         "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 Hello \\b world\\b0\\par\r\n}\r\n",
         {"Hello world", ""}},
        {"stylesheet and info skipped", "{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}x\\par}", {"x", ""}},
        {"unknown ignorable destination", "{\\rtf1 a{\\*\\shppict{\\pict\\pngblip 89504e47}}b}", {"ab"}},
        {"cp1252 hex", "{\\rtf1 caf\\'e9 \\'80\\'96}", {"caf\xC3\xA9 \xE2\x82\xAC\xE2\x80\x93"}},
        {"unicode with fallback", "{\\rtf1 \\u1083?\\uc2\\u1077??x}", {"\xD0\xBB\xD0\xB5x"}},
        {"fallback as hex", "{\\rtf1\\uc1 \\u233\\'e9!}", {"\xC3\xA9!"}},
        {"fallback ends at group",
         "{\\rtf1\\uc3{\\u233 a}b}",
         {"\xC3\xA9"
          "b"}},
        {"surrogate pair", "{\\rtf1 \\u-10179?\\u-8704?}", {"\xF0\x9F\x98\x80"}},
        {"lone surrogate", "{\\rtf1 \\u-10179?x}", {"\xEF\xBF\xBDx"}},
        {"symbols",
         "{\\rtf1 a\\~b\\_c\\-d\\\\\\{\\}}",
         {"a\xC2\xA0"
          "b\xE2\x80\x91"
          "cd\\{}"}},
        {"tab and line",
         "{\\rtf1 a\\tab b\\line c}",
         {"a\tb\xE2\x80\xA8"
          "c"}},
        {"raw line breaks ignored", "{\\rtf1 a\r\nb\n}", {"ab"}},
        {"backslash newline is a paragraph", "{\\rtf1 a\\\nb}", {"a", "b"}},
        {"binary skipped", "{\\rtf1 a{\\*\\blob\\bin4 }}{x}b}", {"ab"}},
        {"raw utf-8", "{\\rtf1 \xC3\xA9\xE9}", {"\xC3\xA9\xC3\xA9"}},
    };
    for (const ReadCase& c : cases)
        EXPECT_EQ(ReadTexts(c.rtf), c.texts) << c.name;
}

TEST(RtfTest, ReadsFormatsAndRestoresThemAtGroupEnd)
{
    const auto document = Read("{\\rtf1{\\fonttbl\\f0\\fswiss Arial;\\f1\\fmodern\\fcharset238\\fprq1 Courier;}"
                               "{\\colortbl;\\red255\\green0\\blue0;}"
                               "\\f1\\fs30\\cf1 a{\\plain\\b\\i\\ul\\strike b}c\\ul\\ulnone d}");
    ASSERT_TRUE(document);
    const auto& runs = document->paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, "a");
    EXPECT_EQ(runs[0].format.fontName, "Courier");
    EXPECT_EQ(runs[0].format.charset, 238);
    EXPECT_EQ(runs[0].format.pitch, Pitch::Fixed);
    EXPECT_EQ(runs[0].format.halfPoints, 30);
    EXPECT_EQ(runs[0].format.color, (Color{255, 0, 0}));
    EXPECT_EQ(runs[1].text, "b");
    EXPECT_EQ(runs[1].format.fontName, "Arial");
    EXPECT_EQ(runs[1].format.halfPoints, 24);
    EXPECT_FALSE(runs[1].format.color);
    EXPECT_TRUE(runs[1].format.bold && runs[1].format.italic && runs[1].format.underline && runs[1].format.strikeOut);
    EXPECT_EQ(runs[2].text, "cd");
    EXPECT_EQ(runs[2].format, runs[0].format);
}

TEST(RtfTest, MalformedInputIsReadAsFarAsItGoes)
{
    const std::vector<ReadCase> cases = {
        {"truncated", "{\\rtf1 abc", {"abc"}},
        {"truncated control word", "{\\rtf1 abc\\pa", {"abc"}},
        {"truncated hex", "{\\rtf1 abc\\'4", {"abc"}},
        {"backslash at end", "{\\rtf1 abc\\", {"abc"}},
        {"text after the end", "{\\rtf1 a}b}c", {"a"}},
        {"huge parameters",
         "{\\rtf1\\fs99999999999999999999\\cf-99999999999999999\\f4294967296 "
         "\\u99999999999999?x\\uc99999999999999999 y}",
         {"\xEF\xBF\xBDxy"}},
        {"huge binary length", "{\\rtf1 a\\bin99999999999 b}", {"a"}},
        {"font table without end", "{\\rtf1{\\fonttbl{\\f0 Arial", {""}},
        {"long control word", "{\\rtf1\\" + std::string(100, 'a') + " x}", {"x"}},
    };
    for (const ReadCase& c : cases)
        EXPECT_EQ(ReadTexts(c.rtf), c.texts) << c.name;
}

TEST(RtfTest, DeepNestingStaysBalanced)
{
    std::string deep(100000, '{');
    deep += 'x';
    deep.append(100000, '}');
    EXPECT_EQ(ReadTexts("{\\rtf1 a" + deep + "b}c"), (std::vector<std::string>{"axb"}));
    EXPECT_EQ(ReadTexts("{\\rtf1 a" + std::string(100000, '{') + "\\b x"), (std::vector<std::string>{"ax"}));
}

TEST(RtfTest, TextThatIsNotRtfIsRejected)
{
    for (const char* text : {"", "hello", " {\\rtf1 x}", "{\\rt", "{rtf1}"})
        EXPECT_FALSE(Read(text)) << text;
}

} // namespace
} // namespace parlino::rtf
