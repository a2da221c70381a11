#include "settings/IniFile.h"

#include "platform/fake/FakeProfileStore.h"
#include "settings/FourNumbers.h"
#include "settings/IntegerRule.h"
#include "settings/SettingsAccess.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace parlino {
namespace {

TEST(IntegerRuleTest, ReadsDecimalAndHexadecimal)
{
    const struct
    {
        const char* text;
        int32_t value;
    } cases[] = {
        {"0", 0},
        {"-13", -13},
        {"+7", 7},
        {"  42", 42},
        {"\t1", 1},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$FF", 255},
        {"xff", 255},
        {"X10", 16},
        {"0x1f", 31},
        {"0XFFFFFFFF", -1},
        {"$80000000", INT32_MIN},
        {"0x7FFFFFFF", 2147483647},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseInteger(std::string_view(c.text)), c.value) << '"' << c.text << '"';
    for (const char* text : {"2147483648", "-2147483649", "99999999999999999999", "0x000000001", "$", "0x", "-$10",
                             "-0x10", "$1G", "12abc", "12 ", "1.5", "", "-", "abc"})
        EXPECT_EQ(ParseInteger(std::string_view(text)), std::nullopt) << '"' << text << '"';
}

class IniFileTest : public ::testing::Test
{
protected:
    fake::FakeProfileStore store;
    TIniFile file{store, QStringLiteral("Parlino.ini")};
};

TEST_F(IniFileTest, ReadsNumbersWithTheirDefault)
{
    store.SetText("parlino.ini", "[s]\nhex=0x10\nbad=1 2\nempty=\nquoted=\" 5\"\n");
    EXPECT_EQ(file.ReadNumber("s", "hex", -1), 16);
    EXPECT_EQ(file.ReadNumber("S", "HEX", -1), 16);
    EXPECT_EQ(file.ReadNumber("s", "bad", -1), -1);
    EXPECT_EQ(file.ReadNumber("s", "empty", -1), -1);
    EXPECT_EQ(file.ReadNumber("s", "missing", -1), -1);
    EXPECT_EQ(file.ReadNumber("s", "quoted", -1), 5);
}

TEST_F(IniFileTest, WritesNumbersAndFlags)
{
    file.WriteNumber("MainWindow", "FormVersion", 0);
    file.WriteNumber("MainWindow", "Flags", -2);
    file.WriteFlag("MainWindow", "Visible", true);
    file.WriteFlag("MainWindow", "Visible", false);
    EXPECT_EQ(store.Text("parlino.ini"), "[MainWindow]\nFormVersion=0\nFlags=-2\nVisible=0\n");
}

TEST_F(IniFileTest, QuoteRuleMakesEveryValueReadBackAsStored)
{
    const QString values[] = {"\"C:\\a b.wav\"", "'x'", "\"", "'", "\"'", "\"a\" and \"b\"", "'a'b'", "", "plain"};
    for (const QString& value : values) {
        StoreText(file, "s", "k", value);
        EXPECT_EQ(FetchText(file, "s", "k", "default"), value);
    }
    StoreText(file, "s", "k", "\"x\"");
    EXPECT_EQ(store.Text("parlino.ini"), "[s]\nk=\"\"x\"\"\n");
}

TEST_F(IniFileTest, BlanksAroundAWavPathAreDropped)
{
    StoreText(file, "Optiuni", "EditWav_Text", "  /usr/share/sounds/ding.wav ");
    EXPECT_EQ(FetchText(file, "Optiuni", "EditWav_Text", ""), "/usr/share/sounds/ding.wav");
}

TEST_F(IniFileTest, AFailedWriteNamesTheFileAndKeepsEarlierKeys)
{
    StoreNumber(file, "Optiuni", "FormVersion", 0);
    store.SetReadOnly("parlino.ini", true);
    try {
        StoreNumber(file, "Optiuni", "Flags", 0);
        FAIL() << "no error";
    } catch (const EIniFileError& error) {
        EXPECT_STREQ(error.what(), "Unable to write to Parlino.ini");
    }
    EXPECT_THROW(StoreNumber(file, "Optiuni", "FormVersion", 0), EIniFileError);
    EXPECT_THROW(file.EraseSection("Optiuni"), EIniFileError);
    EXPECT_EQ(store.Text("PARLINO.INI"), "[Optiuni]\nFormVersion=0\n");
    EXPECT_THROW(file.WriteText("s", "k", "a\nb"), EIniFileError);
}

TEST_F(IniFileTest, ListsAndRemoves)
{
    store.SetText("parlino.ini", "[a]\nx=1\ny=2\n[b]\n");
    EXPECT_EQ(file.ReadSections(), QStringList({"a", "b"}));
    file.DeleteKey("a", "x");
    file.EraseSection("b");
    EXPECT_EQ(store.Text("parlino.ini"), "[a]\ny=2\n");
}

TEST(FourNumbersTest, ParsesWordsAndKeepsDefaults)
{
    const struct
    {
        const char* text;
        bool found;
        FourNumbers numbers;
    } cases[] = {
        {"10,20,30,40", true, {10, 20, 30, 40}}, {"10,20", true, {10, 20, 3, 4}},
        {"10;20;30;40", true, {1, 2, 3, 4}},     {" 10 ,, 20  30,40,50", true, {10, 20, 30, 40}},
        {"x,-5,$10,abc", true, {1, -5, 16, 4}},  {"", false, {1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        FourNumbers numbers{1, 2, 3, 4};
        EXPECT_EQ(ParseFourNumbers(QString::fromLatin1(c.text), numbers), c.found) << c.text;
        EXPECT_EQ(numbers, c.numbers) << c.text;
    }
}

TEST_F(IniFileTest, FourNumbersPreferTheKeyOfTheScreenSize)
{
    store.SetText("parlino.ini", "[w]\nNormPos(1024x768)=10,10,500,400\nNormPos=0,0,300,200\n");
    FourNumbers numbers{};
    EXPECT_TRUE(FetchFourNumbers(file, "w", "NormPos", ScreenSuffix(1024, 768), numbers));
    EXPECT_EQ(numbers, (FourNumbers{10, 10, 500, 400}));
    EXPECT_TRUE(FetchFourNumbers(file, "w", "NormPos", ScreenSuffix(1920, 1080), numbers));
    EXPECT_EQ(numbers, (FourNumbers{0, 0, 300, 200}));
    EXPECT_FALSE(FetchFourNumbers(file, "w", "MinMaxPos", ScreenSuffix(1920, 1080), numbers));

    StoreFourNumbers(file, "x", "MinMaxPos", ScreenSuffix(800, 600), {-1, -1, -8, -31});
    EXPECT_EQ(store.Text("parlino.ini").section("[x]\n", 1),
              "MinMaxPos(800x600)=-1,-1,-8,-31\nMinMaxPos=-1,-1,-8,-31\n");
}

} // namespace
} // namespace parlino
