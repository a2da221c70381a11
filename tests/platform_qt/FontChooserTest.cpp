#include "platform/qt/QtFontChooser.h"
#include "tests/support/Trigger.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace parlino {
namespace {

QPushButton* Button(QWidget* box, QDialogButtonBox::StandardButton which)
{
    return box->findChild<QDialogButtonBox*>()->button(which);
}

// Qt's font dialog has no colour: the chooser adds one from Qt's colour dialog.
TEST(QtFontChooserTest, GivesTheFontWithItsEffectsAndTheColourChosenAndNothingWhenCancelled)
{
    QtFontChooser chooser;
    QFont font(QStringLiteral("Sans"), 10);
    QColor color(Qt::blue);
    QTimer::singleShot(0, [] {
        QWidget* box = QApplication::activeModalWidget();
        QTimer::singleShot(0, [] {
            auto* colors = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            colors->setCurrentColor(Qt::darkGreen);
            colors->accept();
        });
        test::Trigger(box, "Colour");
        auto* fonts = box->findChild<QFontDialog*>();
        QFont chosen = fonts->currentFont();
        chosen.setUnderline(true);
        chosen.setStrikeOut(true);
        fonts->setCurrentFont(chosen);
        Button(box, QDialogButtonBox::Ok)->click();
    });
    ASSERT_TRUE(chooser.ChooseFont(nullptr, font, color));
    EXPECT_TRUE(font.underline());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_EQ(color, QColor(Qt::darkGreen));

    const QFont before = font;
    QTimer::singleShot(0, [] { Button(QApplication::activeModalWidget(), QDialogButtonBox::Cancel)->click(); });
    EXPECT_FALSE(chooser.ChooseFont(nullptr, font, color));
    EXPECT_EQ(font, before);
    EXPECT_EQ(color, QColor(Qt::darkGreen));
}

// Escape anywhere in it ends the whole chooser and changes nothing. A face absent here opens the chooser on the one
// really shown, and OK without a change gives the font back as it was named; a family chosen is given by its name
// alone, never with the foundry the list shows. The sample is in the colour.
TEST(QtFontChooserTest, EscapeEndsItWholeAndWhatIsGivenBackIsTheFamilyAsNamed)
{
    QtFontChooser chooser;
    const QFont absent(QStringLiteral("MS Sans Serif"), 8);
    const QColor color(Qt::blue);
    const QStringList families = QFontDatabase::families();
    const auto withFoundry =
        std::find_if(families.begin(), families.end(), [](const QString& family) { return family.contains(" ["); });
    ASSERT_NE(withFoundry, families.end()) << "no family here is made by two foundries";
    const struct
    {
        const char* what;
        std::function<void(QFontDialog*)> act;
        bool chosen;
        QString family;
    } rows[] = {
        {"Escape in the list",
         [](QFontDialog* fonts) { QTest::keyClick(fonts->findChild<QAbstractItemView*>(), Qt::Key_Escape); }, false,
         "MS Sans Serif"},
        {"OK unchanged", [](QFontDialog*) {}, true, "MS Sans Serif"},
        {"another family", [&](QFontDialog* fonts) { fonts->setCurrentFont(QFont(*withFoundry)); }, true,
         withFoundry->first(withFoundry->indexOf(" ["))},
    };
    for (const auto& row : rows) {
        QFont font = absent;
        QColor chosenColor = color;
        bool leftOpen = false;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            auto* fonts = box->findChild<QFontDialog*>();
            EXPECT_EQ(fonts->currentFont().family(), QFontInfo(absent).family()) << row.what;
            EXPECT_EQ(fonts->findChild<QLineEdit*>("qt_fontDialog_sampleEdit")->palette().color(QPalette::Text), color)
                << row.what;
            row.act(fonts);
            if (!box->isVisible())
                return;
            leftOpen = !fonts->isVisible();
            Button(box, row.chosen ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        EXPECT_EQ(chooser.ChooseFont(nullptr, font, chosenColor), row.chosen) << row.what;
        EXPECT_FALSE(leftOpen) << row.what;
        EXPECT_EQ(font.family(), row.family) << row.what;
    }
}

} // namespace
} // namespace parlino
