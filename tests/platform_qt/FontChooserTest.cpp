#include "platform/qt/QtFontChooser.h"
#include "tests/support/Trigger.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace parlino {
namespace {

QPushButton* Button(QWidget* box, QDialogButtonBox::StandardButton which)
{
    return box->findChild<QDialogButtonBox*>()->button(which);
}

// Qt's font dialog has no colour: the chooser adds one from Qt's colour dialog, and shows its sample in it. A face
// absent here opens the chooser on the one really shown, and comes back by its own name while OK changes nothing; a
// family comes back by its name alone, without the foundry the list may show.
TEST(QtFontChooserTest, GivesTheFontWithItsEffectsAndTheColourChosenAndNothingWhenCancelled)
{
    QtFontChooser chooser;
    const QFont absent(QStringLiteral("MS Sans Serif"), 8);
    QFont font = absent;
    QColor color(Qt::blue);
    QTimer::singleShot(0, [] { test::Trigger(Button(QApplication::activeModalWidget(), QDialogButtonBox::Ok)); });
    ASSERT_TRUE(chooser.ChooseFont(nullptr, font, color));
    EXPECT_EQ(font, absent);
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        auto* fonts = box->findChild<QFontDialog*>();
        EXPECT_EQ(fonts->currentFont().family(), QFontInfo(absent).family());
        EXPECT_EQ(fonts->findChild<QLineEdit*>("qt_fontDialog_sampleEdit")->palette().color(QPalette::Text), color);
        QTimer::singleShot(0, [] {
            auto* colors = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            colors->setCurrentColor(Qt::darkGreen);
            colors->accept();
        });
        test::Trigger(box, "Colour");
        QFont chosen(QStringLiteral("Nimbus Sans [urw]"));
        chosen.setUnderline(true);
        chosen.setStrikeOut(true);
        fonts->setCurrentFont(chosen);
        test::Trigger(Button(box, QDialogButtonBox::Ok));
    });
    ASSERT_TRUE(chooser.ChooseFont(nullptr, font, color));
    EXPECT_EQ(font.family(), "Nimbus Sans");
    EXPECT_TRUE(font.underline());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_EQ(color, QColor(Qt::darkGreen));

    const QFont before = font;
    QTimer::singleShot(0, [] { test::Trigger(Button(QApplication::activeModalWidget(), QDialogButtonBox::Cancel)); });
    EXPECT_FALSE(chooser.ChooseFont(nullptr, font, color));
    // Escape in the list ends the whole chooser, not only the font part of it.
    QTimer::singleShot(0, [] {
        QWidget* box = QApplication::activeModalWidget();
        QTest::keyClick(box->findChild<QAbstractItemView*>(), Qt::Key_Escape);
        if (box->isVisible())
            test::Trigger(Button(box, QDialogButtonBox::Ok));
    });
    EXPECT_FALSE(chooser.ChooseFont(nullptr, font, color));
    EXPECT_EQ(font, before);
    EXPECT_EQ(color, QColor(Qt::darkGreen));
}

} // namespace
} // namespace parlino
