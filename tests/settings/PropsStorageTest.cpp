#include "settings/PropsStorage.h"

#include "TestComponents.h"
#include "platform/fake/FakeProfileStore.h"
#include "settings/IniFile.h"
#include "settings/SettingsAccess.h"
#include "tests/support/QtPrinters.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace parlino {
namespace {

using test::TestCheck;
using test::TestEdit;

const QStringList StoredProps = {"EditTrimitere.Font", "EditPrimire.Font", "CheckMin.Checked",   "CheckRefresh.Checked",
                                 "CheckWav.Checked",   "EditWav.Text",     "CheckFlash.Checked", "CheckTimp.Checked"};

// The options dialog's controls with their designed values, and a settings file in memory.
struct OptionsForm
{
    OptionsForm()
    {
        form.setObjectName("OptiuniForm");
        editPrimire->font.color = 255;
    }

    TPropsStorage Storage(QObject* target = nullptr, const QString& prefix = {})
    {
        return TPropsStorage(
            target ? target : &form, prefix, "Optiuni",
            [this](const QString& s, const QString& k, const QString& d) { return FetchText(file, s, k, d); },
            [this](const QString& s, const QString& k, const QString& v) { StoreText(file, s, k, v); },
            [this](const QString& s) { file.EraseSection(s); });
    }

    // A property of a control, "Font.Height" reaching into the font.
    QVariant Value(const QString& component, const QString& path) const
    {
        const QObject* object = form.findChild<QObject*>(component);
        const QStringList names = path.split('.');
        for (qsizetype i = 0; i + 1 < names.size(); ++i)
            object = object->property(names[i].toLatin1()).value<QObject*>();
        return object->property(names.back().toLatin1());
    }

    fake::FakeProfileStore store;
    TIniFile file{store, "Parlino.ini"};
    QWidget form;
    TestEdit* editTrimitere = new TestEdit("EditTrimitere", &form);
    TestEdit* editPrimire = new TestEdit("EditPrimire", &form);
    TestEdit* editWav = new TestEdit("EditWav", &form);
    TestCheck* checkMin = new TestCheck("CheckMin", false, &form);
    TestCheck* checkRefresh = new TestCheck("CheckRefresh", true, &form);
    TestCheck* checkWav = new TestCheck("CheckWav", false, &form);
    TestCheck* checkFlash = new TestCheck("CheckFlash", true, &form);
    TestCheck* checkTimp = new TestCheck("CheckTimp", false, &form);
};

TEST(PropsStorageTest, WritesTheDesignedOptionsInOrder)
{
    OptionsForm options;
    options.Storage().WriteListedProps(&options.form, StoredProps);
    StoreText(options.file, "Optiuni", "Trimitere1", "0");
    EXPECT_EQ(options.store.Text("parlino.ini"), "[Optiuni]\n"
                                                 "EditTrimitere_FontCharset=1\n"
                                                 "EditTrimitere_FontColor=16711680\n"
                                                 "EditTrimitere_FontHeight=-13\n"
                                                 "EditTrimitere_FontName=MS Sans Serif\n"
                                                 "EditTrimitere_FontPitch=fpDefault\n"
                                                 "EditTrimitere_FontSize=10\n"
                                                 "EditTrimitere_FontStyle=[]\n"
                                                 "EditPrimire_FontCharset=1\n"
                                                 "EditPrimire_FontColor=255\n"
                                                 "EditPrimire_FontHeight=-13\n"
                                                 "EditPrimire_FontName=MS Sans Serif\n"
                                                 "EditPrimire_FontPitch=fpDefault\n"
                                                 "EditPrimire_FontSize=10\n"
                                                 "EditPrimire_FontStyle=[]\n"
                                                 "CheckMin_Checked=False\n"
                                                 "CheckRefresh_Checked=True\n"
                                                 "CheckWav_Checked=False\n"
                                                 "EditWav_Text=\n"
                                                 "CheckFlash_Checked=True\n"
                                                 "CheckTimp_Checked=False\n"
                                                 "Trimitere1=0\n");
}

TEST(PropsStorageTest, ReadsEachTextForm)
{
    const int bold = TFont::fsBold, underline = TFont::fsUnderline;
    const struct
    {
        const char* lines;
        const char* component;
        const char* property;
        QVariant expected;
    } cases[] = {
        {"checkmin_checked=TRUE", "CheckMin", "Checked", true},
        {"CheckRefresh_Checked=false", "CheckRefresh", "Checked", false},
        {"CheckRefresh_Checked=yes", "CheckRefresh", "Checked", true},
        {"CheckMin_Checked=1", "CheckMin", "Checked", false},
        {"EditTrimitere_FontColor=clRed", "EditTrimitere", "Font.Color", 0},
        {"EditTrimitere_FontColor=$0000FF", "EditTrimitere", "Font.Color", 255},
        {"EditTrimitere_FontCharset=99999999999", "EditTrimitere", "Font.Charset", 0},
        {"EditTrimitere_FontStyle=fsBold, fsUnderline", "EditTrimitere", "Font.Style", bold | underline},
        {"EditTrimitere_FontStyle=[fsBold,fsShadow]", "EditTrimitere", "Font.Style", bold},
        {"EditTrimitere_FontStyle=[FSUNDERLINE]", "EditTrimitere", "Font.Style", underline},
        {"EditTrimitere_FontStyle=", "EditTrimitere", "Font.Style", 0},
        {"EditTrimitere_FontPitch=FPFIXED", "EditTrimitere", "Font.Pitch", TFont::fpFixed},
        {"EditTrimitere_FontPitch=fpWide", "EditTrimitere", "Font.Pitch", TFont::fpDefault},
        {"EditTrimitere_FontSize=abc\nEditTrimitere_FontHeight=-20", "EditTrimitere", "Font.Size", 0},
        {"EditTrimitere_FontSize=abc\nEditTrimitere_FontHeight=-20", "EditTrimitere", "Font.Height", 0},
        {"EditTrimitere_FontHeight=-14", "EditTrimitere", "Font.Height", -15},
        {"EditTrimitere_FontHeight=-14", "EditTrimitere", "Font.Size", 11},
        {"EditTrimitere_FontHeight=-14\nEditTrimitere_FontSize=8", "EditTrimitere", "Font.Height", -11},
        {"EditTrimitere_FontName= Courier New ", "EditTrimitere", "Font.Name", "Courier New"},
        {"EditPrimire_FontColor=\"65280\"", "EditPrimire", "Font.Color", 65280},
        {"EditWav_Text=  /snd/a b.wav\t", "EditWav", "Text", "/snd/a b.wav"},
        {"EditWav_Text=\"'quoted'\"", "EditWav", "Text", "'quoted'"},
    };
    for (const auto& c : cases) {
        OptionsForm options;
        options.editTrimitere->font.style = TFont::fsItalic;
        options.store.SetText("parlino.ini", QString("[OPTIUNI]\n") + c.lines + "\n");
        options.Storage().ReadListedProps(&options.form, StoredProps);
        const QVariant value = options.Value(c.component, c.property);
        if (c.expected.typeId() == QMetaType::QString)
            EXPECT_EQ(value.toString(), c.expected.toString()) << c.lines;
        else
            EXPECT_EQ(value.toInt(), c.expected.toInt()) << c.lines;
    }
}

TEST(PropsStorageTest, ChosenOptionsReadBackAsWritten)
{
    OptionsForm written;
    written.editTrimitere->font.SetSize(12);
    written.editTrimitere->font.style = TFont::fsBold | TFont::fsStrikeOut;
    written.editTrimitere->font.pitch = TFont::fpFixed;
    written.editPrimire->font.name = "DejaVu Sans";
    written.editWav->textValue = " \"/home/me/ding.wav\" ";
    written.checkMin->checked = true;
    written.checkRefresh->checked = false;
    written.Storage().WriteListedProps(&written.form, StoredProps);

    OptionsForm read;
    read.store.SetText("parlino.ini", written.store.Text("parlino.ini"));
    read.Storage().ReadListedProps(&read.form, StoredProps);
    for (const char* path :
         {"Font.Charset", "Font.Color", "Font.Height", "Font.Name", "Font.Pitch", "Font.Size", "Font.Style"}) {
        EXPECT_EQ(read.Value("EditTrimitere", path), written.Value("EditTrimitere", path)) << path;
        EXPECT_EQ(read.Value("EditPrimire", path), written.Value("EditPrimire", path)) << path;
    }
    EXPECT_EQ(read.editTrimitere->font.height, -16);
    EXPECT_EQ(read.editWav->textValue, "\"/home/me/ding.wav\"");
    EXPECT_TRUE(read.checkMin->checked);
    EXPECT_FALSE(read.checkRefresh->checked);
}

TEST(PropsStorageTest, StoredPropsItemsNameAComponentAndAProperty)
{
    OptionsForm options;
    options.Storage().WriteListedProps(&options.form, {" checkmin . CHECKED ", "CheckTimp", ".Checked", "CheckTimp.",
                                                       "Gone.Checked", "CheckTimp.Nope", "EditWav.text",
                                                       "EditWav.objectName", "CheckFlash.Checked.x"});
    EXPECT_EQ(options.store.Text("parlino.ini"), "[Optiuni]\nCheckMin_Checked=False\nEditWav_Text=\n");
}

TEST(PropsStorageTest, AnErrorInOnePropertySparesTheOthers)
{
    OptionsForm options;
    test::TestThrowing target;
    options.store.SetText("parlino.ini", "[Optiuni]\nT_A=5\nT_B=7\n");
    options.Storage().ReadObjectProps(&target, "T_", "Optiuni");
    EXPECT_EQ(target.b, 7);
}

TEST(PropsStorageTest, OtherKindsRoundTrip)
{
    OptionsForm options;
    test::TestKinds written;
    written.setParent(&options.form);
    written.letter = 'z';
    written.ratio = 1.0 / 3;
    written.scale = 0.25f;
    written.big = -9000000000;
    written.unsignedValue = 4294967295u;
    written.small = -300;
    written.any = 42;
    written.lines = QStringList{"one", " two ", ""};
    written.items.Add()->setProperty("Label", "first");
    written.items.Add()->setProperty("Value", 7);
    written.buddy = options.checkMin;
    options.Storage().WriteObjectProps(&written, "K_", "Optiuni");
    EXPECT_EQ(options.store.Text("parlino.ini"), "[Optiuni]\n"
                                                 "K_Any=42\n"
                                                 "K_Big=-9000000000\n"
                                                 "K_Buddy=CheckMin\n"
                                                 "K_Items.Count=2\n"
                                                 "K_Letter=z\n"
                                                 "K_Ratio=0.333333333333333\n"
                                                 "K_Scale=0.25\n"
                                                 "K_Small=-300\n"
                                                 "K_Unsigned=4294967295\n"
                                                 "K_Wide=\u0100\n"
                                                 "[Optiuni.K_Items]\n"
                                                 "Item0_Label=first\n"
                                                 "Item0_Value=0\n"
                                                 "Item1_Label=\n"
                                                 "Item1_Value=7\n"
                                                 "[Optiuni.K_Lines]\n"
                                                 "Count=3\n"
                                                 "Item0=one\n"
                                                 "Item1= two \n"
                                                 "Item2=\n");

    test::TestKinds read;
    read.setParent(&options.form);
    read.wide = QChar('w');
    read.any = 0;
    options.Storage().ReadObjectProps(&read, "K_", "Optiuni");
    EXPECT_EQ(read.letter, 'z');
    EXPECT_EQ(read.wide, QChar(0x0100));
    EXPECT_DOUBLE_EQ(read.ratio, 0.333333333333333);
    EXPECT_EQ(read.scale, 0.25f);
    EXPECT_EQ(read.big, -9000000000);
    EXPECT_EQ(read.unsignedValue, 4294967295u);
    EXPECT_EQ(read.small, -300);
    EXPECT_EQ(read.any.toString(), "42");
    EXPECT_EQ(read.lines, QStringList({"one", "two", ""}));
    ASSERT_EQ(read.items.Count(), 2);
    EXPECT_EQ(read.items.items[0]->label, "first");
    EXPECT_EQ(read.items.items[1]->value, 7);
    EXPECT_EQ(read.buddy, options.checkMin);
}

TEST(PropsStorageTest, MalformedValuesOfOtherKinds)
{
    OptionsForm options;
    options.store.SetText("parlino.ini", "[Optiuni]\nK_Big=12x\nK_Ratio=abc\nK_Small=70000\nK_Letter=\n"
                                         "K_Items.Count=2000000000\nK_Buddy=Nowhere.CheckMin\n"
                                         "[Optiuni.K_Lines]\nCount=-1\nItem0=x\n");
    test::TestKinds read;
    read.setParent(&options.form);
    read.big = 5;
    read.small = 3;
    read.lines = QStringList{"kept"};
    read.items.Add();
    read.buddy = options.checkTimp;
    options.Storage().ReadObjectProps(&read, "K_", "Optiuni");
    EXPECT_EQ(read.big, 0);
    EXPECT_DOUBLE_EQ(read.ratio, 0.1);
    EXPECT_EQ(read.small, 3);
    EXPECT_EQ(read.letter, 'a');
    EXPECT_EQ(read.items.Count(), 1);
    EXPECT_EQ(read.lines, QStringList{"kept"});
    EXPECT_EQ(read.buddy, options.checkTimp);
}

TEST(PropsStorageTest, ReferencesNameTheFormOfAnotherWindow)
{
    OptionsForm options;
    QWidget other;
    other.setObjectName("MainForm");
    auto* checkOther = new TestCheck("CheckOther", false, &other);
    test::TestKinds kinds;
    kinds.setParent(&options.form);
    const struct
    {
        TestCheck* buddy;
        QString text;
    } cases[] = {{checkOther, "MainForm.CheckOther"}, {nullptr, "(null)"}, {options.checkFlash, "CheckFlash"}};
    for (const auto& c : cases) {
        kinds.buddy = c.buddy;
        const auto property = TPropsStorage::FindStorableProperty(&kinds, "buddy");
        ASSERT_TRUE(property);
        options.Storage(&kinds, "K_").WriteProp(*property);
        EXPECT_EQ(options.file.ReadText("Optiuni", "K_Buddy", ""), c.text);
        kinds.buddy = options.checkWav;
        options.Storage(&kinds, "K_").ReadProp(*property);
        EXPECT_EQ(kinds.buddy, c.buddy) << c.text.toStdString();
    }
}

} // namespace
} // namespace parlino
