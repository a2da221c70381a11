#include "platform/qt/QtFontChooser.h"
#include "tests/support/Trigger.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QPushButton>
#include <QTimer>

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

} // namespace
} // namespace parlino
