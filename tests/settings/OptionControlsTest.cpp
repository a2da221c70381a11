#include "platform/fake/FakeScreens.h"
#include "settings/FontFormat.h"
#include "settings/OptiuniUnit.h"
#include "tests/settings/TestComponents.h"
#include "tests/support/Accessibility.h"
#include "tests/support/Trigger.h"

#include <QCloseEvent>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>

#include <functional>
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
    test::Services services;
    TOptiuniForm form(services.fakes.platform);
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
    test::Services services;
    TOptiuniForm form(services.fakes.platform);
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

TEST(OptiuniFormTest, TabFollowsTheLayoutAndScreenReadersTellTheControlsApart)
{
    test::Services services;
    TOptiuniForm form(services.fakes.platform);
    form.show();
    form.CheckWav->SetChecked(true);
    EXPECT_EQ(test::TabOrder(&form),
              (QStringList{"ButAlegeFontT", "ButAlegeFontP", "CheckMin", "CheckRefresh", "CheckFlash", "CheckWav",
                           "EditWav", "ButBrowse", "CheckTimp", "ButOk", "ButCancel"}));
    EXPECT_EQ(test::Spoken(form.EditWav), form.Label2->text());
    EXPECT_NE(test::Spoken(form.ButAlegeFontT, QAccessible::Description),
              test::Spoken(form.ButAlegeFontP, QAccessible::Description));
}

// The options dialog on fake services, as the program makes it.
class OptiuniDialogTest : public ::testing::Test
{
protected:
    using Act = std::function<void(TOptiuniForm&)>;

    std::unique_ptr<TOptiuniForm> NewForm() { return std::make_unique<TOptiuniForm>(services.fakes.platform); }
    QString Key(const char* key) { return profiles.ReadString("Parlino.ini", "Optiuni", key, "(none)"); }

    test::Services services;
    fake::FakeProfileStore& profiles = services.fakes.profiles;
    fake::FakeMessageBoxes& boxes = services.fakes.messageBoxes;
};

TEST_F(OptiuniDialogTest, OkWritesTheSectionWholeAfterThePlacementKeys)
{
    auto form = NewForm();
    form->show();
    test::Trigger(form->ButOk);
    EXPECT_FALSE(form->isVisible());
    const QString placement = QStringLiteral("[Optiuni]\nFormVersion=0\nFlags=0\nShowCmd=1\nPixelsPerInch=96\n"
                                             "MinMaxPos(1024x768)=-1,-1,-1,-1\nMinMaxPos=-1,-1,-1,-1\n"
                                             "NormPos(1024x768)=308,102,706,433\nNormPos=308,102,706,433\nVisible=0\n");
    EXPECT_EQ(profiles.Text("parlino.ini"),
              placement + QLatin1String(test::kDesignedOptionKeys) + QStringLiteral("Trimitere1=0\n"));
    EXPECT_EQ(profiles.SaveCount(), 1);
    form.reset();
    EXPECT_EQ(profiles.SaveCount(), 1);
}

// Turns the WAV box on, types the path when there is one, and presses OK.
void OkWithTheWavBoxOn(TOptiuniForm& f, const char* path)
{
    f.CheckWav->SetChecked(true);
    if (path)
        f.EditWav->SetText(path);
    test::Trigger(f.ButOk);
}

TEST_F(OptiuniDialogTest, OkAndEnterWriteCancelEscapeAndTheDesktopsCloseDoNot)
{
    const struct
    {
        const char* label;
        Act act;
        const char* checkWav; // nullptr: nothing written
        const char* wavPath;
    } cases[] = {
        {"OK with the WAV box on and no path", [](TOptiuniForm& f) { OkWithTheWavBoxOn(f, nullptr); }, "False", ""},
        {"a path of blanks is a path", [](TOptiuniForm& f) { OkWithTheWavBoxOn(f, "   "); }, "True", ""},
        {"Browse leaves the WAV box off",
         [this](TOptiuniForm& f) {
             services.fakes.fileChooser.answer = "/snd/ding.wav";
             test::Trigger(f.ButBrowse);
             EXPECT_EQ(services.fakes.fileChooser.openFilters.back(), "Wav Files|*.wav");
             EXPECT_FALSE(f.CheckWav->Checked());
             EXPECT_FALSE(f.EditWav->isEnabled());
             test::Trigger(f.ButOk);
         },
         "False", "/snd/ding.wav"},
        {"Enter on a box",
         [](TOptiuniForm& f) {
             f.CheckWav->SetChecked(true);
             f.EditWav->SetText("/a.wav");
             f.CheckMin->setFocus();
             QTest::keyClick(f.CheckMin, Qt::Key_Return);
         },
         "True", "/a.wav"},
        {"Cancel", [](TOptiuniForm& f) { test::Trigger(f.ButCancel); }, nullptr, nullptr},
        {"Escape", [](TOptiuniForm& f) { QTest::keyClick(f.EditWav, Qt::Key_Escape); }, nullptr, nullptr},
        {"Enter on the Cancel button",
         [](TOptiuniForm& f) {
             f.ButCancel->setFocus();
             QTest::keyClick(f.ButCancel, Qt::Key_Enter);
         },
         nullptr, nullptr},
        {"the desktop's close",
         [](TOptiuniForm& f) {
             QCloseEvent close;
             QSpontaneKeyEvent::setSpontaneous(&close);
             // As the desktop's events come: sendEvent would make it the program's own.
             QCoreApplication::instance()->notify(&f, &close);
         },
         nullptr, nullptr},
    };
    for (const auto& c : cases) {
        profiles.SetText("parlino.ini", "");
        {
            auto form = NewForm();
            form->show();
            c.act(*form);
        }
        if (c.checkWav) {
            EXPECT_EQ(Key("CheckWav_Checked"), c.checkWav) << c.label;
            EXPECT_EQ(Key("EditWav_Text"), c.wavPath) << c.label;
        } else {
            EXPECT_EQ(profiles.Text("parlino.ini"), "") << c.label;
        }
    }
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(OptiuniDialogTest, OkKeepsTheBytesOfAWavPathThatIsNotUtf8)
{
    profiles.SetBytes("parlino.ini", "[Optiuni]\nEditWav_Text=/snd/caf\xe9.wav\n");
    auto form = NewForm();
    form->show();
    test::Trigger(form->ButOk);
    EXPECT_NE(profiles.Bytes("parlino.ini").find("\nEditWav_Text=/snd/caf\xe9.wav\n"), std::string::npos);
}

TEST_F(OptiuniDialogTest, ACancelledFontLastsUntilTheNextShowAndTheChooserOffersEveryAttribute)
{
    auto form = NewForm();
    form->show();
    test::Trigger(form->ButOk);

    form->show();
    QFont chosen("Courier New", 14);
    chosen.setBold(true);
    chosen.setUnderline(true);
    chosen.setStrikeOut(true);
    services.fakes.fontChooser.answer = {chosen, QColor(0, 128, 0)};
    test::Trigger(form->ButAlegeFontT);
    const auto& [shownFont, shownColor] = services.fakes.fontChooser.shown.back();
    EXPECT_EQ(shownFont.family(), "MS Sans Serif");
    EXPECT_EQ(shownFont.pointSize(), 10);
    EXPECT_EQ(shownColor, QColor(0, 0, 255));
    const TFont* font = form->EditTrimitere->Font();
    EXPECT_EQ(font->Name(), "Courier New");
    EXPECT_EQ(font->Size(), 14);
    EXPECT_EQ(font->Style(), TFont::fsBold | TFont::fsUnderline | TFont::fsStrikeOut);
    EXPECT_EQ(font->Color(), 0x008000);
    services.fakes.fontChooser.answer.reset();
    test::Trigger(form->ButAlegeFontP);
    EXPECT_EQ(form->EditPrimire->Font()->Color(), 0x0000FF) << "a cancelled chooser changes nothing";

    test::Trigger(form->ButCancel);
    EXPECT_EQ(Key("EditTrimitere_FontName"), "MS Sans Serif");
    EXPECT_EQ(font->Name(), "Courier New") << "the chat windows use it until the dialog is shown again";
    form->show();
    EXPECT_EQ(font->Name(), "MS Sans Serif");
}

TEST_F(OptiuniDialogTest, AFailedWriteAtOkIsReportedOnceAndTheDialogClosesAllTheSame)
{
    std::vector<bool> refresh;
    {
        auto never = NewForm();
        never->CheckMin->SetChecked(true);
    }
    EXPECT_FALSE(profiles.Exists("parlino.ini")) << "a dialog never shown writes nothing";

    profiles.SetText("parlino.ini", "[Optiuni]\nCheckMin_Checked=False\n");
    profiles.SetReadOnly("parlino.ini", true);
    {
        auto form = NewForm();
        form->SwitchRefreshTimer = [&refresh](bool on) { refresh.push_back(on); };
        form->show();
        form->CheckMin->SetChecked(true);
        form->CheckRefresh->SetChecked(false);
        test::Trigger(form->ButOk);
        EXPECT_FALSE(form->isVisible());
        EXPECT_TRUE(form->CheckMin->Checked());
    }
    ASSERT_EQ(boxes.Shown().size(), 1u) << "the destruction tries again, but does not report the same error again";
    EXPECT_EQ(boxes.Shown().front().text, "Unable to write to Parlino.ini");
    EXPECT_EQ(profiles.Text("parlino.ini"), "[Optiuni]\nCheckMin_Checked=False\n");
    EXPECT_EQ(refresh, std::vector<bool>{false});
}

TEST_F(OptiuniDialogTest, TheWavPathIsEnabledExactlyWhileTheWavBoxIsOn)
{
    const auto space = [](QWidget* box, bool autoRepeat, QEvent::Type type) {
        QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, " ", autoRepeat);
        QCoreApplication::sendEvent(box, &event);
    };
    const struct
    {
        const char* label;
        Act act;
        bool on;
    } cases[] = {
        {"a click", [](TOptiuniForm& f) { QTest::mouseClick(f.CheckWav, Qt::LeftButton, {}, QPoint(6, 8)); }, true},
        {"Space", [](TOptiuniForm& f) { QTest::keyClick(f.CheckWav, Qt::Key_Space); }, true},
        {"Space held down",
         [&space](TOptiuniForm& f) {
             space(f.CheckWav, false, QEvent::KeyPress);
             for (int i = 0; i < 3; ++i)
                 space(f.CheckWav, true, QEvent::KeyPress);
             space(f.CheckWav, false, QEvent::KeyRelease);
         },
         true},
        {"Space on the time box", [](TOptiuniForm& f) { QTest::keyClick(f.CheckTimp, Qt::Key_Space); }, false},
        {"a click on the time box",
         [](TOptiuniForm& f) { QTest::mouseClick(f.CheckTimp, Qt::LeftButton, {}, QPoint(6, 8)); }, false},
    };
    for (const auto& c : cases) {
        profiles.SetText("parlino.ini", "");
        auto form = NewForm();
        form->show();
        c.act(*form);
        EXPECT_EQ(form->CheckWav->Checked(), c.on) << c.label;
        EXPECT_EQ(form->EditWav->isEnabled(), c.on) << c.label;
    }
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
        fake::FakeScreens screen(c.pixelsPerInch);
        TFont font(screen);
        font.SetHeight(c.height);
        EXPECT_EQ(font.Size(), c.size) << c.pixelsPerInch << " " << c.height;
        font.SetSize(font.Size());
        EXPECT_EQ(font.Height(), c.heightFromSize) << c.pixelsPerInch << " " << c.height;
    }
    // A size whose height does not fit an int gives Windows' overflow result, -1, as the height's negation.
    fake::FakeScreens screen(96);
    TFont font(screen);
    font.SetSize(std::numeric_limits<int>::max());
    EXPECT_EQ(font.Height(), 1);
}

TEST(TFontTest, DefaultIsEightPointAtTheScreensDensity)
{
    fake::FakeScreens screen(120);
    TFont font(screen);
    EXPECT_EQ(font.Height(), -13);
    EXPECT_EQ(font.Size(), 8);
}

// The settings storage reads and writes these through the meta-object system alone.
TEST(TFontTest, PublishesStoredPropertiesByName)
{
    fake::FakeScreens screen;
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
    fake::FakeScreens screen;
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
    fake::FakeScreens screen;
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
