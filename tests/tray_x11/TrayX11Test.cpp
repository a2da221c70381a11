#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtNotifyArea.h"
#include "tests/support/Wait.h"
#include "tray/RxTrayIcon.h"
#include "tray/TrayPictures.h"

#include <QApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QScreen>
#include <QToolTip>
#include <QWidget>

#include <gtest/gtest.h>
#include <optional>

namespace parlino::test {
namespace {

// What the X server says about a window.
QString WindowInfo(WId window)
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    xwininfo.waitForFinished(5000);
    return QString::fromLocal8Bit(xwininfo.readAllStandardOutput());
}

std::optional<int> Field(const QString& info, const QString& name)
{
    const QRegularExpressionMatch match = QRegularExpression(name + QStringLiteral(":\\s+(-?\\d+)")).match(info);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

// Where a mapped window of more than a pixel's width is on the screen.
std::optional<QRect> EmbeddedPlace(const QString& info)
{
    const std::optional<int> x = Field(info, QStringLiteral("Absolute upper-left X"));
    const std::optional<int> y = Field(info, QStringLiteral("Absolute upper-left Y"));
    const std::optional<int> width = Field(info, QStringLiteral("Width"));
    const std::optional<int> height = Field(info, QStringLiteral("Height"));
    if (!info.contains(QStringLiteral("IsViewable")) || !x || !y || !width || !height || *width <= 1)
        return std::nullopt;
    return QRect(*x, *y, *width, *height);
}

// Where trayer's panel is on the screen, from the X server's tree of windows.
std::optional<QRect> PanelPlace()
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    xwininfo.waitForFinished(5000);
    static const QRegularExpression panel(
        QStringLiteral(R"("panel": \("panel" "trayer"\)\s+(\d+)x(\d+)\S*\s+\+(-?\d+)\+(-?\d+))"));
    const QRegularExpressionMatch match = panel.match(QString::fromLocal8Bit(xwininfo.readAllStandardOutput()));
    if (!match.hasMatch())
        return std::nullopt;
    return QRect(match.captured(3).toInt(), match.captured(4).toInt(), match.captured(1).toInt(),
                 match.captured(2).toInt());
}

// Qt draws an X11 tray icon in a small window of its own that the notification area takes in.
QWidget* TrayWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (QString::fromLatin1(widget->metaObject()->className()).contains(QStringLiteral("SystemTray")))
            return widget;
    return nullptr;
}

void Xdotool(const QStringList& arguments)
{
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0) << arguments.join(u' ').toStdString();
}

TEST(TrayX11Test, IconAppearsInTheNotificationAreaWithItsTipAndReportsAClick)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs an X display with a notification area; run through run_tray_x11.sh";

    QtNotifyArea area;
    ASSERT_TRUE(WaitUntil([&] { return area.IsAvailable(); }, 10000)) << "trayer did not take the tray selection";

    SystemClock clock;
    QtMessageBoxes boxes;
    TRxTrayIcon tray(nullptr, area, clock, boxes);
    int clicks = 0;
    tray.OnClick = [&](QObject*, TMouseButton button, TShiftState, int, int) {
        if (button == TMouseButton::mbLeft)
            ++clicks;
    };
    tray.SetHint(QStringLiteral("Parlino|not part of the tip"));
    tray.SetIcon(TrayPictures::Still());
    ASSERT_TRUE(tray.IsAdded());

    // Embedded: mapped, inside trayer's panel rather than at the top level. The panel grows to take the
    // icon in and, aligned right, moves while it settles: the place counts once the panel holds it at the
    // screen's right edge.
    QString info;
    std::optional<QRect> place;
    std::optional<QRect> panel;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const QWidget* window = TrayWindow();
            info = window ? WindowInfo(window->winId()) : QString();
            place = EmbeddedPlace(info);
            panel = PanelPlace();
            return place && panel && panel->contains(*place) &&
                   panel->right() == QGuiApplication::primaryScreen()->geometry().right();
        },
        10000))
        << info.toStdString() << " in the panel at " << (panel ? panel->x() : -1);
    EXPECT_GT(place->x(), 0);

    const QString centreX = QString::number(place->center().x());
    const QString centreY = QString::number(place->center().y());
    // An enter event can be missed while the panel is still settling, so the pointer comes in again.
    bool tipShown = false;
    for (int attempt = 0; attempt < 5 && !tipShown; ++attempt) {
        Xdotool({QStringLiteral("mousemove"), QStringLiteral("0"), QStringLiteral("500")});
        Xdotool({QStringLiteral("mousemove"), centreX, centreY});
        tipShown = WaitUntil([] { return QToolTip::isVisible(); }, 2000);
    }
    EXPECT_TRUE(tipShown);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Parlino"));

    // The picture itself is on screen: the still icon's blue fills much of the icon's place.
    const QImage shown = QGuiApplication::primaryScreen()
                             ->grabWindow(0, place->x(), place->y(), place->width(), place->height())
                             .toImage();
    int blue = 0;
    for (int row = 0; row < shown.height(); ++row)
        for (int column = 0; column < shown.width(); ++column)
            blue += shown.pixelColor(column, row).blue() > 180 && shown.pixelColor(column, row).red() < 90;
    EXPECT_GT(blue, place->width() * place->height() / 8);
    QGuiApplication::primaryScreen()->grabWindow(0).save(QStringLiteral("tray_x11.png"));

    Xdotool({QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(WaitUntil([&] { return clicks == 1; }, 10000));
}

} // namespace
} // namespace parlino::test
