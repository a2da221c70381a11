#include "TrayTestSupport.h"
#include "tests/support/Wait.h"
#include "tray/PopupMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QTimer>

#include <stdexcept>
#include <string>
#include <vector>

namespace parlino::test {
namespace {

struct MouseCall
{
    const char* event;
    TMouseButton button;
    TShiftState shift;
    QPoint pos;
};

class MouseTest : public TrayFixture
{
protected:
    void SetUp() override
    {
        tray->SetIcon(still);
        area.SetCursorPos(QPoint(640, 470));
        tray->OnClick = Recorder("click");
        tray->OnMouseDown = Recorder("down");
        tray->OnMouseUp = Recorder("up");
        tray->OnMouseMove = [this](QObject*, TShiftState shift, int x, int y) {
            calls.push_back({"move", TMouseButton::mbLeft, shift, QPoint(x, y)});
        };
        tray->OnDblClick = [this](QObject*) { calls.push_back({"dblclick", TMouseButton::mbLeft, {}, {}}); };
    }

    TMouseEvent Recorder(const char* event)
    {
        return [this, event](QObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
            EXPECT_EQ(sender, tray.get());
            calls.push_back({event, button, shift, QPoint(x, y)});
        };
    }

    std::vector<std::string> Events() const
    {
        std::vector<std::string> events;
        for (const MouseCall& call : calls)
            events.emplace_back(call.event);
        return events;
    }

    // Closes the menu as soon as it shows, noting that it did.
    void CloseMenuWhenShown(TPopupMenu& menu)
    {
        QObject::connect(&menu, &QMenu::aboutToShow, &menu, [this, &menu] {
            ++menuShown;
            QTimer::singleShot(0, &menu, &QMenu::close);
        });
    }

    std::vector<MouseCall> calls;
    int menuShown = 0;
};

using Names = std::vector<std::string>;

TEST_F(MouseTest, LeftClickRaisesDownClickUpAtTheCursorWithKeysAndButton)
{
    area.SetKeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier);
    Mouse(kWmLButtonDown);
    Mouse(kWmLButtonUp);

    EXPECT_EQ(Events(), (Names{"down", "click", "up"}));
    for (const MouseCall& call : calls) {
        EXPECT_EQ(call.button, TMouseButton::mbLeft);
        EXPECT_EQ(call.shift, ssShift | ssCtrl | ssLeft);
        EXPECT_EQ(call.pos, QPoint(640, 470));
    }
}

TEST_F(MouseTest, AButtonUpClicksOnlyAfterItsOwnButtonDown)
{
    Mouse(kWmLButtonUp);
    Mouse(kWmRButtonDown);
    Mouse(kWmLButtonUp);
    EXPECT_EQ(Events(), (Names{"up", "down", "up"}));

    // Removing the icon forgets a button that went down on it.
    calls.clear();
    Mouse(kWmLButtonDown);
    tray->SetActive(false);
    tray->SetActive(true);
    Mouse(kWmLButtonUp);
    EXPECT_EQ(Events(), (Names{"down", "up"}));
}

TEST_F(MouseTest, RightClickWithoutMenuRaisesClickWithTheRightButton)
{
    Mouse(kWmRButtonDown);
    Mouse(kWmRButtonUp);

    ASSERT_EQ(Events(), (Names{"down", "click", "up"}));
    EXPECT_EQ(calls[1].button, TMouseButton::mbRight);
    EXPECT_EQ(calls[1].shift, TShiftState(ssRight));
}

TEST_F(MouseTest, RightClickShowsTheMenuInsteadOfClickingUnlessItsAutoPopupIsOff)
{
    TPopupMenu menu;
    menu.addAction(QStringLiteral("E&xit"));
    CloseMenuWhenShown(menu);
    tray->SetPopupMenu(&menu);

    Mouse(kWmRButtonDown);
    Mouse(kWmRButtonUp);
    // The menu opens from the event loop, after the mouse message is done with.
    EXPECT_EQ(menuShown, 0);
    ASSERT_TRUE(WaitUntil([&] { return menuShown == 1; }));
    EXPECT_EQ(menu.PopupComponent(), tray.get());
    EXPECT_EQ(Events(), (Names{"down", "up"}));

    calls.clear();
    menu.SetAutoPopup(false);
    Mouse(kWmRButtonDown);
    Mouse(kWmRButtonUp);
    EXPECT_EQ(menuShown, 1);
    EXPECT_EQ(Events(), (Names{"down", "click", "up"}));
}

TEST_F(MouseTest, TheMenuIsForgottenWhenItIsDestroyed)
{
    auto menu = std::make_unique<TPopupMenu>();
    tray->SetPopupMenu(menu.get());
    // Destroyed after the click asked for it and before it opened: it is not opened.
    Mouse(kWmRButtonDown);
    Mouse(kWmRButtonUp);
    menu.reset();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(tray->PopupMenu(), nullptr);

    Mouse(kWmRButtonDown);
    Mouse(kWmRButtonUp);
    EXPECT_EQ(Events(), (Names{"down", "up", "down", "click", "up"}));
}

TEST_F(MouseTest, DoubleClickRunsTheEnabledDefaultItemElseRaisesDblClick)
{
    TPopupMenu menu;
    menu.addAction(QStringLiteral("&Show"));
    QAction* restore = menu.addAction(QStringLiteral("&Restore"));
    int restored = 0;
    QObject::connect(restore, &QAction::triggered, [&] { ++restored; });
    menu.setDefaultAction(restore);
    tray->SetPopupMenu(&menu);

    Mouse(kWmLButtonDblClk);
    EXPECT_EQ(restored, 1);
    EXPECT_EQ(Events(), (Names{"down"}));
    EXPECT_EQ(calls[0].shift, TShiftState(ssDouble));

    calls.clear();
    restore->setEnabled(false);
    Mouse(kWmLButtonDblClk);
    EXPECT_EQ(restored, 1);
    EXPECT_EQ(Events(), (Names{"dblclick", "down"}));

    calls.clear();
    tray->SetPopupMenu(nullptr);
    Mouse(kWmLButtonDblClk);
    EXPECT_EQ(Events(), (Names{"dblclick", "down"}));
}

TEST_F(MouseTest, MiddleButtonAndMovesRaiseNoClick)
{
    Mouse(kWmMButtonDown);
    Mouse(kWmMButtonUp);
    Mouse(kWmMButtonDblClk);
    Mouse(kWmRButtonDblClk);
    Mouse(kWmMouseMove);
    Mouse(0x20A);

    EXPECT_EQ(Events(), (Names{"down", "up", "down", "down", "move"}));
    EXPECT_EQ(calls[0].shift, TShiftState(ssMiddle));
    EXPECT_EQ(calls[2].shift, TShiftState(ssDouble));
    EXPECT_EQ(calls[3].button, TMouseButton::mbRight);
}

TEST_F(MouseTest, DisabledIconIgnoresEveryMouseMessage)
{
    TPopupMenu menu;
    CloseMenuWhenShown(menu);
    QAction* item = menu.addAction(QStringLiteral("&Restore"));
    int triggered = 0;
    QObject::connect(item, &QAction::triggered, [&] { ++triggered; });
    menu.setDefaultAction(item);
    tray->SetPopupMenu(&menu);
    tray->SetEnabled(false);

    for (uint32_t message = kWmMouseMove; message <= kWmMButtonDblClk; ++message)
        Mouse(message);
    QCoreApplication::sendPostedEvents();

    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(menuShown, 0);
    EXPECT_EQ(triggered, 0);
}

TEST_F(MouseTest, OnlyItsOwnCallbackMessageReachesTheEvents)
{
    const NotifyIconData data = *Shown();
    data.window->NotifyMessage(data.callbackMessage + 1, 0, kWmLButtonDown);
    EXPECT_TRUE(calls.empty());
}

TEST_F(MouseTest, AHandlerMayDestroyTheIconOrThrowAndTheIconGoesOnWorking)
{
    // Each error is shown in the error box; nothing escapes to end the program.
    tray->OnClick = [](QObject*, TMouseButton, TShiftState, int, int) { throw std::runtime_error("click failed"); };
    tray->OnDblClick = [](QObject*) { throw std::runtime_error("double click failed"); };
    Mouse(kWmLButtonDown);
    EXPECT_NO_THROW(Mouse(kWmLButtonUp));
    EXPECT_NO_THROW(Mouse(kWmLButtonDblClk));
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].text, QStringLiteral("click failed"));
    EXPECT_EQ(boxes.Shown()[1].text, QStringLiteral("double click failed"));
    calls.clear();
    Mouse(kWmLButtonDown);
    EXPECT_EQ(Events(), (Names{"down"}));

    tray->OnClick = [this](QObject*, TMouseButton, TShiftState, int, int) { tray.reset(); };
    Mouse(kWmLButtonUp);
    EXPECT_EQ(tray, nullptr);
    EXPECT_EQ(Shown(), nullptr);
}

} // namespace
} // namespace parlino::test
