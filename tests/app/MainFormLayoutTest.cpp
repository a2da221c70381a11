#include "tests/app/AppFixture.h"
#include "tests/support/Accessibility.h"

#include <QApplication>
#include <QResizeEvent>

#include <tuple>
#include <vector>

namespace parlino::test {
namespace {

class MainFormLayoutTest : public AppFixture
{
protected:
    void SetUp() override { CreateForms(); }
};

TEST_F(MainFormLayoutTest, WindowHasItsCaptionPlaceAndSizeLimits)
{
    EXPECT_EQ(MainForm->objectName(), QStringLiteral("MainForm"));
    EXPECT_EQ(MainForm->windowTitle(), QStringLiteral("Parlino"));
    EXPECT_EQ(MainForm->pos(), QPoint(314, 114));
    // 400 x 250 outer, less the designed frame of 8 x 27.
    EXPECT_EQ(MainForm->minimumSize(), QSize(392, 223));
    EXPECT_EQ(MainForm->height(), 240);
    EXPECT_EQ(MainForm->font().pixelSize(), 11);
    EXPECT_FALSE(MainForm->windowIcon().isNull());
}

TEST_F(MainFormLayoutTest, ToolbarButtonsInOrderWithCaptionsPlacesAndFlatGlyphs)
{
    EXPECT_EQ(MainForm->ToolBar1->objectName(), QStringLiteral("ToolBar1"));
    EXPECT_EQ(MainForm->ToolBar1->height(), 52);
    const std::vector<std::tuple<QToolButton*, const char*, const char*, int, int>> buttons = {
        {MainForm->ButChat, "ButChat", "&Chat", 0, 56},
        {MainForm->ButRefresh, "ButRefresh", "&Refresh Net", 56, 70},
        {MainForm->ButOptiuni, "ButOptiuni", "&Options", 126, 56},
        {MainForm->ButMin, "ButMin", "&Minimize", 182, 56},
        {MainForm->RxSpeedButton1, "RxSpeedButton1", "&Help", 238, 56},
        {MainForm->ButExit, "ButExit", "E&xit", 331, 56},
    };
    for (const auto& [button, name, caption, left, width] : buttons) {
        SCOPED_TRACE(name);
        EXPECT_EQ(button->objectName(), QLatin1String(name));
        EXPECT_EQ(button->text(), QLatin1String(caption));
        EXPECT_EQ(button->geometry().left(), left);
        EXPECT_EQ(button->width(), width);
        EXPECT_EQ(button->height(), 45);
        EXPECT_TRUE(button->autoRaise());
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        // Drawn for 1x and 2x, so neither scale is an enlargement of the other.
        EXPECT_EQ(button->icon().availableSizes(), (QList<QSize>{QSize(24, 24), QSize(48, 48)}));
    }
    EXPECT_EQ(MainForm->ToolButton1->objectName(), QStringLiteral("ToolButton1"));
    EXPECT_EQ(MainForm->ToolButton1->geometry().left(), 294);
    EXPECT_EQ(MainForm->ToolButton1->width(), 37);
}

// Something is drawn: more than one colour.
bool Drawn(QWidget* widget)
{
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, 0))
                return true;
    return false;
}

TEST_F(MainFormLayoutTest, ToolbarSeparatorsAreDrawnInBothKindsOfWindow)
{
    OptiuniForm->CheckFlash->SetChecked(false);
    const TChatForm* chat = MainForm->Chats.At(MainForm->NewChat(QStringLiteral("PC3")));
    for (QWidget* separator : {MainForm->ToolButton1, chat->ToolButton1})
        EXPECT_TRUE(Drawn(separator)) << separator->window()->objectName().toStdString();
}

TEST_F(MainFormLayoutTest, ChatIsDisabledAtStartAndTheOtherButtonsAreNot)
{
    EXPECT_FALSE(MainForm->ButChat->isEnabled());
    for (QToolButton* button :
         {MainForm->ButRefresh, MainForm->ButOptiuni, MainForm->ButMin, MainForm->RxSpeedButton1, MainForm->ButExit})
        EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
}

TEST_F(MainFormLayoutTest, StationTreeShowsTheRootAndFollowsTheWindowOnAllSides)
{
    QTreeWidget* tree = MainForm->TreeStatii;
    EXPECT_EQ(tree->objectName(), QStringLiteral("TreeStatii"));
    EXPECT_EQ(tree->geometry(), QRect(4, 54, 382, 171));
    EXPECT_TRUE(tree->font().bold());
    EXPECT_EQ(tree->indentation(), 19);
    EXPECT_FALSE(tree->rootIsDecorated());
    EXPECT_EQ(tree->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(tree->hasMouseTracking());
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Network"));
    EXPECT_EQ(tree->topLevelItem(0)->icon(0).cacheKey(), MainForm->ImageList1.Icons(0).cacheKey());
    EXPECT_EQ(MainForm->ImageList1.Count(), 3);

    // The designed distances to the right and bottom edges stay as the window grows.
    MainForm->show();
    MainForm->resize(MainForm->width() + 100, 340);
    EXPECT_EQ(tree->geometry().topLeft(), QPoint(4, 54));
    EXPECT_EQ(MainForm->width() - (tree->geometry().right() + 1), 5);
    EXPECT_EQ(340 - (tree->geometry().bottom() + 1), 15);
    EXPECT_EQ(MainForm->ToolBar1->width(), MainForm->width());
}

TEST_F(MainFormLayoutTest, TabStartsAtTheTreeWhoseHiddenHeaderSaysNothing)
{
    EXPECT_EQ(test::TabOrder(MainForm),
              (QStringList{"TreeStatii", "ButRefresh", "ButOptiuni", "ButMin", "RxSpeedButton1", "ButExit"}));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(MainForm->TreeStatii)->child(0)->text(QAccessible::Name), "");
}

TEST_F(MainFormLayoutTest, ComponentsAreNamedAndSetUpAsDesigned)
{
    EXPECT_FALSE(MainForm->RxTrayIcon->Active());
    EXPECT_EQ(MainForm->RxTrayIcon->Hint(), QStringLiteral("Parlino"));
    EXPECT_EQ(MainForm->RxTrayIcon->PopupMenu(), MainForm->TrayMenu);
    EXPECT_TRUE(notifyArea.Shown().empty());

    EXPECT_FALSE(MainForm->TimerMin->IsActive());
    EXPECT_FALSE(MainForm->TimerRefresh->IsActive());

    for (const char* name : {"RxTrayIcon", "TrayMenu", "PopupMenuHelp", "WinPopup"})
        EXPECT_NE(MainForm->findChild<QObject*>(QLatin1String(name)), nullptr) << name;
}

// Each menu's items: object name and caption, separators as empty names.
std::vector<std::pair<QString, QString>> Items(const QMenu* menu)
{
    std::vector<std::pair<QString, QString>> items;
    for (const QAction* action : menu->actions())
        items.emplace_back(action->objectName(), action->isSeparator() ? QString() : action->text());
    return items;
}

TEST_F(MainFormLayoutTest, MenusHoldTheirItemsInOrder)
{
    using Items_ = std::vector<std::pair<QString, QString>>;
    EXPECT_EQ(Items(MainForm->TrayMenu),
              (Items_{{"Show1", "&Show"}, {"About1", "&About"}, {"", ""}, {"Exit1", "E&xit"}}));
    EXPECT_EQ(Items(MainForm->PopupMenuHelp), (Items_{{"Contents2", "&Contents"},
                                                      {"Visitprogramhomepage1", "&Visit program homepage"},
                                                      {"", ""},
                                                      {"About3", "&About"}}));
}

TEST_F(MainFormLayoutTest, AboutBoxHasItsFixedLayout)
{
    EXPECT_EQ(AboutForm->windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(AboutForm->size(), QSize(272, 172));
    EXPECT_EQ(AboutForm->minimumSize(), AboutForm->maximumSize());
    const Qt::WindowFlags flags = AboutForm->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint));

    EXPECT_EQ(AboutForm->Image1->geometry(), QRect(8, 16, 49, 49));
    EXPECT_TRUE(AboutForm->Image1->hasScaledContents());
    EXPECT_EQ(AboutForm->Image1->pixmap().size(), QSize(49, 49));

    EXPECT_EQ(AboutForm->Label1->text(), QStringLiteral("Parlino v. 1.0"));
    EXPECT_EQ(AboutForm->Label1->pos(), QPoint(111, 25));
    EXPECT_EQ(AboutForm->Label1->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(AboutForm->Label1->font().pixelSize(), 16);
    EXPECT_TRUE(AboutForm->Label1->font().bold());
    EXPECT_EQ(AboutForm->Label1->palette().color(QPalette::WindowText), QColor(Qt::red));

    EXPECT_EQ(AboutForm->BitBtn1->text(), QStringLiteral("OK"));
    EXPECT_EQ(AboutForm->BitBtn1->geometry(), QRect(96, 127, 75, 25));
}

} // namespace
} // namespace parlino::test
