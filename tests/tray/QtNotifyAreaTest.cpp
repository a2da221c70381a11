#include "platform/qt/QtNotifyArea.h"

#include "platform/qt/QtMessageBoxes.h"
#include "tray/RxTrayIcon.h"
#include "tray/TrayPictures.h"

#include <gtest/gtest.h>

namespace parlino::test {
namespace {

// The offscreen platform has no notification area: the real service must say so and refuse quietly.
TEST(QtNotifyAreaTest, WithoutANotificationAreaTheIconStaysAbsentQuietly)
{
    QtNotifyArea area;
    SystemClock clock;
    QtMessageBoxes boxes;
    TRxTrayIcon tray(nullptr, area, clock, boxes);
    EXPECT_FALSE(area.IsAvailable());

    tray.SetHint(QStringLiteral("Parlino"));
    tray.SetIcon(TrayPictures::Still());
    EXPECT_FALSE(tray.IsAdded());

    NotifyIconData data;
    EXPECT_FALSE(area.NotifyIcon(NotifyIconMessage::Modify, data));
    EXPECT_FALSE(area.NotifyIcon(NotifyIconMessage::Delete, data));
}

} // namespace
} // namespace parlino::test
