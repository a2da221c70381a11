#include "settings/FormPlacement.h"

#include "forms/FormParts.h"
#include "platform/fake/FakeMessageBoxes.h"
#include "platform/fake/FakeProfileStore.h"
#include "platform/fake/FakeScreens.h"
#include "settings/FormStorage.h"
#include "settings/ScreenPlacement.h"
#include "tests/support/QtPrinters.h"

#include <QApplication>
#include <QMainWindow>
#include <QWidget>

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace parlino {
namespace {

using namespace std::string_literals;

// Where the window is designed: the top left corner of its frame and the size of its client area.
constexpr QPoint kDesignedAt(50, 60);
constexpr QSize kDesignedSize(400, 300);
const char* const kDesigned = "50,60,450,360";

// A sizeable window placed by its component, as the chat windows are, on a desktop of two screens: the primary
// 1024 x 768 with panels along its left and bottom, and a 1280 x 1024 one to its right.
class FormPlacementTest : public ::testing::Test
{
protected:
    FormPlacementTest() { screens.workAreas = {QRect(40, 0, 984, 740), QRect(1024, 0, 1280, 1024)}; }

    std::unique_ptr<QWidget> NewForm()
    {
        auto form = std::make_unique<QWidget>();
        form->move(kDesignedAt);
        form->resize(kDesignedSize);
        auto* placement = new TFormPlacement(form.get(), profiles, screens, boxes);
        placement->BeginLoading();
        placement->SetIniFileName("parlino.ini");
        placement->SetIniSection("ChatWindow");
        placement->MinMaxInfo()->SetMinTrackSize({350, 275});
        placement->EndLoading();
        return form;
    }

    // Shown, with the minimizing that a show may ask for done.
    std::unique_ptr<QWidget> Shown()
    {
        auto form = NewForm();
        form->show();
        QApplication::processEvents();
        return form;
    }

    QString NormPos() { return profiles.ReadString("parlino.ini", "ChatWindow", "NormPos", ""); }

    bool TitleBarOnAScreen(const QWidget& form) const
    {
        const QRect titleBar(form.pos(), QSize(form.width(), kTitleBarHeight));
        return std::any_of(screens.workAreas.begin(), screens.workAreas.end(), [&titleBar](const QRect& area) {
            const QRect shown = titleBar.intersected(area);
            return shown.height() == kTitleBarHeight && shown.width() >= kTitleBarGrip;
        });
    }

    fake::FakeProfileStore profiles;
    fake::FakeScreens screens;
    fake::FakeMessageBoxes boxes;
};

TEST_F(FormPlacementTest, AClosedWindowWritesItsSectionAtOnceAndTheNextOneOpensThere)
{
    auto form = Shown();
    EXPECT_EQ(form->minimumSize(), QSize(350, 275) - kDesignFrame) << "the whole window, frame included";
    form->move(200, 150);
    form->resize(500, 400);
    form->close();
    EXPECT_EQ(profiles.Text("parlino.ini"), "[ChatWindow]\nFormVersion=0\nFlags=0\nShowCmd=1\nPixelsPerInch=96\n"
                                            "MinMaxPos(1024x768)=-1,-1,-1,-1\nMinMaxPos=-1,-1,-1,-1\n"
                                            "NormPos(1024x768)=200,150,700,550\nNormPos=200,150,700,550\nVisible=0\n");
    EXPECT_EQ(profiles.SaveCount(), 1);
    form.reset();
    EXPECT_EQ(profiles.SaveCount(), 1) << "written since the last read: the destruction writes nothing";

    auto next = Shown();
    EXPECT_EQ(next->pos(), QPoint(200, 150));
    EXPECT_EQ(next->size(), QSize(500, 400));
    next->move(300, 150);
    next.reset();
    EXPECT_TRUE(profiles.Text("parlino.ini").endsWith("NormPos=300,150,800,550\nVisible=1\n"));
    EXPECT_TRUE(boxes.Shown().empty());
}

// Each stored section is applied at a show, and the placement the window then has is written back at its close. The
// offscreen platform frames a window with 2 pixels on each side, and a window is kept on a screen with its frame.
TEST_F(FormPlacementTest, AStoredPlacementIsAppliedOnAPresentScreen)
{
    const struct
    {
        const char* label;
        const char* section;
        const char* normPos;
        Qt::WindowStates state;
    } cases[] = {
        {"on the primary screen", "NormPos=100,100,500,400", "100,100,500,400", {}},
        {"on the second screen", "NormPos=1200,100,1600,400", "1200,100,1600,400", {}},
        {"the key of this screen size first",
         "NormPos(1024x768)=100,40,500,340\nNormPos=300,300,700,600",
         "100,40,500,340",
         {}},
        {"on a monitor unplugged since", "NormPos=3000,100,3400,400", "1900,100,2300,400", {}},
        {"title bar above the screen", "NormPos=100,-10,500,290", "100,0,500,300", {}},
        {"far off to the top left", "NormPos=-5000,-5000,-4600,-4700", "40,0,440,300", {}},
        {"larger than the desktop", "NormPos=50,30,100000,100000", "40,0,1020,736", {}},
        {"smaller than the minimum", "NormPos=60,40,160,140", "60,40,402,288", {}},
        {"only a minimized position", "MinMaxPos=1,2,3,4", kDesigned, {}},
        {"no width", "NormPos=500,100,100,400", kDesigned, {}},
        {"no height", "NormPos=100,400,500,100", kDesigned, {}},
        {"another density", "NormPos=100,100,500,400\nPixelsPerInch=120\nShowCmd=3", kDesigned, Qt::WindowMaximized},
        {"no density", "NormPos=100,100,500,400\nPixelsPerInch=0", kDesigned, {}},
        {"an older layout", "FormVersion=-1\nNormPos=100,100,500,400\nShowCmd=3", kDesigned, {}},
        {"a layout version that is no number", "FormVersion=x\nNormPos=100,100,500,400", "100,100,500,400", {}},
        {"maximized", "ShowCmd=3", kDesigned, Qt::WindowMaximized},
        {"minimized", "ShowCmd=2", kDesigned, Qt::WindowMinimized},
        {"no show command of a state", "ShowCmd=8", kDesigned, {}},
        {"a show command that is no number", "ShowCmd=-7x", kDesigned, {}},
        {"the first of two sections", "NormPos=100,100,500,400\n[chatwindow]\nNormPos=1,1,2,2", "100,100,500,400", {}},
    };
    for (const auto& c : cases) {
        profiles.SetText("parlino.ini", QString("[ChatWindow]\n") + c.section + "\n");
        auto form = Shown();
        EXPECT_EQ(form->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), c.state) << c.label;
        form->close();
        EXPECT_EQ(NormPos(), c.normPos) << c.label;
    }
    EXPECT_TRUE(boxes.Shown().empty());

    // Beside the program's main window, a window is minimized at its show, not minimized as the program after it.
    const QMainWindow mainWindow;
    profiles.SetText("parlino.ini", "[ChatWindow]\nShowCmd=2\n");
    auto chat = NewForm();
    chat->show();
    EXPECT_TRUE(chat->isMinimized());
}

TEST_F(FormPlacementTest, WhereTheDesktopPlacesWindowsOnlyTheSizeIsAppliedAndThePositionKept)
{
    screens.canPlaceWindows = false;
    profiles.SetText("parlino.ini", "[ChatWindow]\nNormPos=300,200,700,500\n");
    auto form = Shown();
    EXPECT_EQ(form->pos(), kDesignedAt);
    EXPECT_EQ(form->size(), QSize(400, 300));
    form->resize(450, 320);
    form->close();
    EXPECT_EQ(NormPos(), "300,200,750,520");
}

// Whatever the file holds, the window opens with its title bar on a screen, a write that fails is reported once,
// and the bytes the file held are never lost.
TEST_F(FormPlacementTest, BadInputOpensOnAScreenAndKeepsTheFile)
{
    enum class Disk { Fine, ReadOnly, Full };
    const std::string huge = "[ChatWindow]\nNormPos=100,40,500,340\n" + std::string(ProfileStore::MaxFileSize, ';');
    const struct
    {
        const char* label;
        std::string bytes;
        Disk disk;
    } cases[] = {
        {"damaged", "\xff\xfe[Chat\0Window]\n=\n[ChatWindow\nNormPos=\x80,\x81"s, Disk::Fine},
        {"too big to be ours", huge, Disk::Fine},
        {"absurd numbers",
         "[Other]\nkept=1\n[ChatWindow]\nFormVersion=9x\nNormPos=-2147483648,-2147483648,2147483647,2147483647\n"
         "ShowCmd=2147483647\n",
         Disk::Fine},
        {"read-only", "[ChatWindow]\nNormPos=100,40,500,340\n", Disk::ReadOnly},
        {"disk full", "[Other]\nkept=1\n", Disk::Full},
    };
    for (const auto& c : cases) {
        profiles.SetBytes("parlino.ini", c.bytes);
        profiles.SetReadOnly("parlino.ini", c.disk == Disk::ReadOnly);
        profiles.SetDiskFull(c.disk == Disk::Full);
        const std::size_t boxesBefore = boxes.Shown().size();
        {
            auto form = Shown();
            EXPECT_TRUE(TitleBarOnAScreen(*form)) << c.label;
            form->close();
        }
        const bool writable = c.disk == Disk::Fine && c.bytes.size() <= ProfileStore::MaxFileSize;
        EXPECT_EQ(boxes.Shown().size() - boxesBefore, writable ? 0u : 1u) << c.label;
        if (!writable) {
            EXPECT_TRUE(boxes.Shown().back().text.startsWith("Unable to write to parlino.ini")) << c.label;
        }
        // A write replaces the keys of its own section and nothing else.
        const std::string kept = writable ? c.bytes.substr(0, c.bytes.find("[ChatWindow]\n")) : c.bytes;
        EXPECT_EQ(profiles.Bytes("parlino.ini").substr(0, writable ? kept.size() : std::string::npos), kept) << c.label;
    }
}

TEST_F(FormPlacementTest, StoredValuesHaveNamesOfTheirOwnAndMayBeScrambled)
{
    auto form = std::make_unique<QWidget>();
    auto* storage = new TFormStorage(form.get(), profiles, screens, boxes);
    storage->SetIniFileName("parlino.ini");
    storage->SetIniSection("Values");
    storage->SetOptions({});
    TStoredValue* plain = storage->StoredValues()->Add();
    plain->SetName("Trimitere1");
    plain->SetValue(0);
    TStoredValue* secret = storage->StoredValues()->Add();
    EXPECT_THROW(secret->SetName("TRIMITERE1"), EStoredValueError);
    secret->SetName("Secret");
    secret->SetKeyString("k");
    secret->SetValue(QString("ab"));

    // Read first: a section never read is not written.
    storage->ReadFormSettings();
    storage->WriteFormSettings();
    EXPECT_TRUE(profiles.Text("parlino.ini").endsWith("Visible=0\nTrimitere1=0\nSecret=0A09\n"));
    plain->SetValue(5);
    secret->SetValue(QString());
    storage->ReadFormSettings();
    EXPECT_EQ(plain->Value(), QVariant(QString("0")));
    EXPECT_EQ(secret->Value(), QVariant(QString("ab")));
}

} // namespace
} // namespace parlino
