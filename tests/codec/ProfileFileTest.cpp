#include "codec/ProfileFile.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace parlino {
namespace {

std::optional<std::string> Read(const std::string& text, const std::string& section, const std::string& key)
{
    return ProfileFile(text).Value(section, key);
}

std::string Write(const std::string& text, const std::string& section, const std::string& key, const std::string& value)
{
    ProfileFile file(text);
    EXPECT_TRUE(file.SetValue(section, key, value));
    return file.Text();
}

TEST(ProfileFileTest, ReadsValues)
{
    EXPECT_EQ(Read("[Optiuni]\nEditWav_Text=  /a b.wav \t\n", "Optiuni", "EditWav_Text"), "/a b.wav");
    EXPECT_EQ(Read("[OPTIUNI]\ncheckmin_checked=TRUE\n", "Optiuni", "CheckMin_Checked"), "TRUE");
    EXPECT_EQ(Read("[ s ]\n  k  = v\n", "s", "k"), "v");
    EXPECT_EQ(Read("[s]\nk=\"quoted\"\n", "s", "k"), "quoted");
    EXPECT_EQ(Read("[s]\nk= 'single' \n", "s", "k"), "single");
    EXPECT_EQ(Read("[s]\nk=\"\"a\"\"\n", "s", "k"), "\"a\"");
    EXPECT_EQ(Read("[s]\nk=\"mixed'\n", "s", "k"), "\"mixed'");
    EXPECT_EQ(Read("[s]\nk=\"\n", "s", "k"), "\"");
    EXPECT_EQ(Read("[s]\nk=a=b ; not a comment\n", "s", "k"), "a=b ; not a comment");
    EXPECT_EQ(Read("[s]\nk=\n", "s", "k"), "");
    EXPECT_EQ(Read("[s] trailing text\nk=v", "s", "k"), "v");
}

TEST(ProfileFileTest, TheFirstSectionAndKeyCount)
{
    EXPECT_EQ(Read("[s]\nk=1\nk=2\n", "s", "k"), "1");
    EXPECT_EQ(Read("[s]\nk=1\n[S]\nk=2\nj=3\n", "s", "k"), "1");
    EXPECT_EQ(Read("[s]\nk=1\n[S]\nk=2\nj=3\n", "s", "j"), std::nullopt);
    // Long names alike at both ends.
    EXPECT_EQ(Read("[s]\nEditTrimXitere_Name=1\nEditTrimYitere_Name=2\n", "s", "edittrimyitere_name"), "2");
}

TEST(ProfileFileTest, GivesNothingForWhatIsNotAKey)
{
    EXPECT_EQ(Read("", "s", "k"), std::nullopt);
    EXPECT_EQ(Read("k=v\n[s]\n", "s", "k"), std::nullopt);
    EXPECT_EQ(Read("[s]\n;k=v\n#k=v\n", "s", ";k"), std::nullopt);
    EXPECT_EQ(Read("[s]\nk\n", "s", "k"), std::nullopt);
    EXPECT_EQ(Read("[s]\n=v\n", "s", ""), std::nullopt);
    EXPECT_EQ(Read("[s]\nk=v\n[t]\n", "t", "k"), std::nullopt);
    EXPECT_EQ(Read("[s\nk=v\n", "s", "k"), std::nullopt);
    // Only letters match in the other case.
    EXPECT_EQ(Read("[s]\nk@=v\n", "s", "k`"), std::nullopt);
}

TEST(ProfileFileTest, AcceptsEveryLineEndAndAByteOrderMark)
{
    EXPECT_EQ(Read("[s]\r\na=1\r\nb=2", "s", "b"), "2");
    EXPECT_EQ(Read("[s]\ra=1\rb=2\r", "s", "b"), "2");
    EXPECT_EQ(Read("[s]\na=1\r\n\rb=2\n", "s", "b"), "2");
    EXPECT_EQ(Read("\xEF\xBB\xBF[s]\na=1\n", "s", "a"), "1");
    EXPECT_EQ(ProfileFile("\xEF\xBB\xBF[s]\r\na=1").Text(), "\xEF\xBB\xBF[s]\na=1\n");
}

TEST(ProfileFileTest, CutsValuesTo2047Characters)
{
    const std::string longValue(3000, 'x');
    EXPECT_EQ(Read("[s]\nk=" + longValue, "s", "k"), std::string(2047, 'x'));
    EXPECT_EQ(Read("[s]\nk=" + std::string(2047, 'y'), "s", "k"), std::string(2047, 'y'));
    // Two-byte characters are never split.
    std::string accents;
    for (int i = 0; i < 2100; ++i)
        accents += "\xC3\xA9";
    EXPECT_EQ(Read("[s]\nk=" + accents, "s", "k"), accents.substr(0, 2 * 2047));
}

TEST(ProfileFileTest, WritesKeysInPlaceOrAtTheEnd)
{
    EXPECT_EQ(Write("", "Optiuni", "EditWav_Text", ""), "[Optiuni]\nEditWav_Text=\n");
    EXPECT_EQ(Write("[s]\na=1\nb=2\n", "S", "A", "9"), "[s]\nA=9\nb=2\n");
    EXPECT_EQ(Write("[s]\na=1\n\n; next\n[t]\nx=1\n", "s", "c", "3"), "[s]\na=1\nc=3\n\n; next\n[t]\nx=1\n");
    EXPECT_EQ(Write("[s]\n[t]\n", "s", "c", "3"), "[s]\nc=3\n[t]\n");
    EXPECT_EQ(Write("[s]\na=1", "t", "c", "3"), "[s]\na=1\n[t]\nc=3\n");
    EXPECT_EQ(Write("[s]\nk=1\n[s]\nk=2\n", "s", "k", "3"), "[s]\nk=3\n[s]\nk=2\n");
    EXPECT_EQ(Write("[s]\nEditTrimXitere_Font=1\nEditTrimYitere_Font=2\n", "s", "edittrimyitere_font", "3"),
              "[s]\nEditTrimXitere_Font=1\nedittrimyitere_font=3\n");
    EXPECT_EQ(Write("junk\x01\xFF\n[s]\r\nk=1\r\n", "s", "k", "2"), "junk\x01\xFF\n[s]\nk=2\n");
}

TEST(ProfileFileTest, RefusesWhatWouldNotReadBack)
{
    const struct
    {
        std::string section, key, value;
    } cases[] = {
        {"", "k", "v"},    {"s", " ", "v"},   {"s", "k", "a\nb"}, {"s", "k", "a\r"},
        {"s\n", "k", "v"}, {"a]b", "k", "v"}, {"s", "k=j", "v"},  {"s", "[k]", "v"},
        {"s", ";k", "v"},  {"s", "#k", "v"},  {"s", "k\nx", "v"},
    };
    for (const auto& c : cases) {
        ProfileFile file("[s]\nk=1\n");
        EXPECT_FALSE(file.SetValue(c.section, c.key, c.value)) << c.section << "/" << c.key;
        EXPECT_EQ(file.Text(), "[s]\nk=1\n");
    }
}

TEST(ProfileFileTest, ErasesSectionsAndDeletesKeys)
{
    ProfileFile file("[a]\nx=1\n[B]\ny=2\ny=3\nz=4\n[c]\n[b]\nw=5\n");
    file.DeleteKey("b", "Y");
    EXPECT_EQ(file.Text(), "[a]\nx=1\n[B]\nz=4\n[c]\n[b]\nw=5\n");
    EXPECT_EQ(file.Keys("b"), (std::vector<std::string>{"z"}));
    EXPECT_EQ(file.Sections(), (std::vector<std::string>{"a", "B", "c"}));
    file.EraseSection("b");
    EXPECT_EQ(file.Text(), "[a]\nx=1\n[c]\n");
}

TEST(ProfileFileTest, SurvivesGarbageAndKeepsItOnWrite)
{
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 131 + 7) % 256);
    const std::string text = garbage + "\n[Other]\nkept=yes\n" + std::string(3 << 20, '=') + "\n";
    ProfileFile file(text);
    EXPECT_EQ(file.Value("Optiuni", "CheckMin_Checked"), std::nullopt);
    ASSERT_TRUE(file.SetValue("Optiuni", "CheckMin_Checked", "True"));
    const ProfileFile reread(file.Text());
    EXPECT_EQ(reread.Value("Other", "kept"), "yes");
    EXPECT_EQ(reread.Value("Optiuni", "CheckMin_Checked"), "True");
}

} // namespace
} // namespace parlino
