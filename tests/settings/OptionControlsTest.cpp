#include "platform/fake/FakeScreenDensity.h"
#include "settings/FontFormat.h"
#include "settings/OptiuniUnit.h"

#include <QMetaEnum>
#include <QMetaProperty>

#include <gtest/gtest.h>
#include <limits>

namespace parlino {
namespace {

struct ControlCase
{
    const char* name;
    QRect geometry;
    const char* text;
};

TEST(OptiuniFormTest, ControlsHaveTheirDesignedPlaceAndCaption)
{
    fake::FakeScreenDensity screen;
    TOptiuniForm form(screen);
    EXPECT_TRUE(form.isHidden());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Options"));
    EXPECT_EQ(form.size(), QSize(398, 331));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

    const std::vector<ControlCase> cases = {
        {"Label1", {57, 29, 184, 13}, "Choose the fonts used for chat :"},
        {"EditTrimitere", {57, 56, 161, 24}, "Send"},
        {"ButAlegeFontT", {257, 56, 75, 25}, "Choose Font"},
        {"EditPrimire", {57, 94, 161, 24}, "Receive"},
        {"ButAlegeFontP", {257, 95, 75, 25}, "Choose Font"},
        {"CheckMin", {23, 136, 169, 17}, "Start minimized"},
        {"CheckRefresh", {215, 136, 161, 17}, "Auto-refresh"},
        {"CheckWav", {23, 188, 289, 17}, "Play a WAV when a message arrives"},
        {"Label2", {24, 212, 126, 13}, "Choose the WAV file :"},
        {"EditWav", {48, 233, 217, 21}, ""},
        {"ButBrowse", {288, 231, 75, 25}, "&Browse"},
        {"ButOk", {85, 298, 75, 25}, "OK"},
        {"ButCancel", {237, 298, 75, 25}, "Cancel"},
        {"CheckFlash", {23, 160, 290, 17}, "Flash window when a message arrives"},
        {"CheckTimp", {25, 263, 289, 17}, "Display the time when messages arrives"},
    };
    for (const ControlCase& c : cases) {
        const auto* control = form.findChild<QWidget*>(QLatin1String(c.name));
        ASSERT_TRUE(control) << c.name;
        EXPECT_EQ(control->geometry(), c.geometry) << c.name;
        const char* textProperty = control->metaObject()->indexOfProperty("text") >= 0 ? "text" : "Text";
        EXPECT_EQ(control->property(textProperty).toString(), QLatin1String(c.text)) << c.name;
    }
}

TEST(OptiuniFormTest, OptionsStartAtTheirDesignedValues)
{
    fake::FakeScreenDensity screen;
    TOptiuniForm form(screen);
    EXPECT_FALSE(form.CheckMin->Checked());
    EXPECT_TRUE(form.CheckRefresh->Checked());
    EXPECT_FALSE(form.CheckWav->Checked());
    EXPECT_TRUE(form.EditWav->Text().isEmpty());
    EXPECT_TRUE(form.CheckFlash->Checked());
    EXPECT_FALSE(form.CheckTimp->Checked());

    for (auto [edit, color] : {std::pair{form.EditTrimitere, 16711680}, std::pair{form.EditPrimire, 255}}) {
        const TFont* font = edit->Font();
        EXPECT_EQ(font->Name(), QStringLiteral("MS Sans Serif"));
        EXPECT_EQ(font->Height(), -13);
        EXPECT_EQ(font->Size(), 10);
        EXPECT_EQ(font->Color(), color);
        EXPECT_EQ(font->Charset(), 1);
        EXPECT_EQ(font->Pitch(), TFont::fpDefault);
        EXPECT_EQ(font->Style(), TFont::TFontStyles());
        EXPECT_TRUE(edit->isReadOnly());
        EXPECT_EQ(edit->focusPolicy(), Qt::NoFocus);
    }
    EXPECT_EQ(form.ButOk->isDefault(), true);
    // The glyphs come from this library's own resources, which must be linked in.
    EXPECT_FALSE(form.ButOk->icon().pixmap(16, 16).isNull());
    EXPECT_FALSE(form.ButCancel->icon().pixmap(16, 16).isNull());
    EXPECT_TRUE(form.font().bold());
    EXPECT_FALSE(form.ButAlegeFontT->font().bold());
}

TEST(OptiuniFormTest, TabOrderFollowsTheDesign)
{
    fake::FakeScreenDensity screen;
    TOptiuniForm form(screen);
    const QList<QWidget*> expected = {form.ButAlegeFontT, form.ButAlegeFontP, form.CheckMin,  form.CheckRefresh,
                                      form.CheckWav,      form.EditWav,       form.ButBrowse, form.ButOk,
                                      form.ButCancel,     form.CheckFlash,    form.CheckTimp};
    QList<QWidget*> order;
    QWidget* widget = form.ButAlegeFontT;
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            order.append(widget);
        widget = widget->nextInFocusChain();
    } while (widget != form.ButAlegeFontT && order.size() < 20);
    EXPECT_EQ(order, expected);
}

struct HeightCase
{
    int pixelsPerInch;
    int height;
    int size;
    int heightFromSize;
};

TEST(TFontTest, HeightAndSizeAgreeThroughTheScreenDensity)
{
    const std::vector<HeightCase> cases = {
        {96, -13, 10, -13},
        {96, -11, 8, -11},
        {96, -14, 11, -15},
        {120, -13, 8, -13},
        {144, -20, 10, -20},
        {96, 0, 0, 0},
        {96, 16, -12, 16},
        // From a damaged settings file: the lowest int has no magnitude of its own.
        {96, std::numeric_limits<int>::min(), 1610612735, -std::numeric_limits<int>::max()},
    };
    for (const HeightCase& c : cases) {
        fake::FakeScreenDensity screen(c.pixelsPerInch);
        TFont font(screen);
        font.SetHeight(c.height);
        EXPECT_EQ(font.Size(), c.size) << c.pixelsPerInch << " " << c.height;
        font.SetSize(font.Size());
        EXPECT_EQ(font.Height(), c.heightFromSize) << c.pixelsPerInch << " " << c.height;
    }
    // A size whose height does not fit an int gives Windows' overflow result, -1, as the height's negation.
    fake::FakeScreenDensity screen(96);
    TFont font(screen);
    font.SetSize(std::numeric_limits<int>::max());
    EXPECT_EQ(font.Height(), 1);
}

TEST(TFontTest, DefaultIsEightPointAtTheScreensDensity)
{
    fake::FakeScreenDensity screen(120);
    TFont font(screen);
    EXPECT_EQ(font.Height(), -13);
    EXPECT_EQ(font.Size(), 8);
}

// The settings storage reads and writes these through the meta-object system alone.
TEST(TFontTest, PublishesStoredPropertiesByName)
{
    fake::FakeScreenDensity screen;
    TFont font(screen);
    const QMetaObject* meta = font.metaObject();
    QStringList names;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        names.append(QLatin1String(meta->property(i).name()));
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("Charset"), QStringLiteral("Color"), QStringLiteral("Height"),
                                  QStringLiteral("Name"), QStringLiteral("Pitch"), QStringLiteral("Size"),
                                  QStringLiteral("Style")}));

    const QMetaEnum pitch = meta->property(meta->indexOfProperty("Pitch")).enumerator();
    EXPECT_FALSE(pitch.isFlag());
    EXPECT_STREQ(pitch.key(0), "fpDefault");
    EXPECT_STREQ(pitch.key(2), "fpFixed");
    const QMetaEnum style = meta->property(meta->indexOfProperty("Style")).enumerator();
    EXPECT_TRUE(style.isFlag());
    EXPECT_EQ(style.keysToValue("fsBold|fsStrikeOut"), 9);

    EXPECT_TRUE(font.setProperty("Style", QVariant::fromValue(TFont::TFontStyles(TFont::fsItalic))));
    EXPECT_EQ(font.Style(), TFont::fsItalic);
    EXPECT_TRUE(font.setProperty("Pitch", QVariant::fromValue(TFont::fpFixed)));
    EXPECT_EQ(font.Pitch(), TFont::fpFixed);

    TCheckBox box(QStringLiteral("x"));
    EXPECT_TRUE(box.setProperty("Checked", true));
    EXPECT_TRUE(box.isChecked());
    TEdit edit(screen);
    EXPECT_TRUE(edit.setProperty("Text", QStringLiteral("a.wav")));
    EXPECT_EQ(edit.text(), QStringLiteral("a.wav"));
    EXPECT_EQ(edit.property("Font").value<QObject*>(), edit.Font());
}

TEST(TFontTest, EditShowsItsFontAndAssignCopiesEveryAttribute)
{
    fake::FakeScreenDensity screen;
    TFont chosen(screen);
    chosen.SetName(QStringLiteral("Courier New"));
    chosen.SetHeight(-20);
    chosen.SetColor(0x00FF00);
    chosen.SetCharset(238);
    chosen.SetPitch(TFont::fpFixed);
    chosen.SetStyle(TFont::fsBold | TFont::fsUnderline);

    TEdit edit(screen);
    edit.SetFont(&chosen);
    const TFont* font = edit.Font();
    EXPECT_NE(font, &chosen);
    EXPECT_EQ(font->Name(), QStringLiteral("Courier New"));
    EXPECT_EQ(font->Height(), -20);
    EXPECT_EQ(font->Color(), 0x00FF00);
    EXPECT_EQ(font->Charset(), 238);
    EXPECT_EQ(font->Pitch(), TFont::fpFixed);
    EXPECT_EQ(font->Style(), TFont::fsBold | TFont::fsUnderline);
    // A hidden edit takes its font when shown; a shown one at once.
    edit.show();
    EXPECT_EQ(edit.font().pixelSize(), 20);
    EXPECT_TRUE(edit.font().bold());
    EXPECT_EQ(edit.palette().color(QPalette::Text), QColor(0, 255, 0));
    edit.Font()->SetHeight(-30);
    EXPECT_EQ(edit.font().pixelSize(), 30);
}

TEST(FontFormatTest, TranscriptFormatCarriesEveryFontAttribute)
{
    fake::FakeScreenDensity screen;
    TFont font(screen);
    font.SetName(QStringLiteral("Arial"));
    font.SetSize(12);
    font.SetColor(0x123456);
    font.SetCharset(204);
    font.SetPitch(TFont::fpVariable);
    font.SetStyle(TFont::fsItalic | TFont::fsStrikeOut);

    const QTextCharFormat format = CharFormatOfFont(font);
    EXPECT_EQ(format.fontFamilies().toStringList(), QStringList{QStringLiteral("Arial")});
    EXPECT_EQ(format.fontPointSize(), 12);
    EXPECT_EQ(format.foreground().color(), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(format.fontWeight(), QFont::Normal);
    EXPECT_TRUE(format.fontItalic());
    EXPECT_FALSE(format.fontUnderline());
    EXPECT_TRUE(format.fontStrikeOut());
    EXPECT_EQ(format.intProperty(CharsetProperty), 204);
    EXPECT_EQ(format.intProperty(PitchProperty), TFont::fpVariable);
    EXPECT_EQ(TColorOfColor(ColorOfTColor(0x123456)), 0x123456);
}

} // namespace
} // namespace parlino
