#pragma once

#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeMessageBoxes.h"
#include "platform/fake/qt/FakeNotifyArea.h"
#include "tray/RxTrayIcon.h"

#include <QColor>
#include <QIcon>
#include <QPixmap>

#include <gtest/gtest.h>
#include <memory>

namespace parlino::test {

inline QIcon SolidIcon(const QColor& colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

// Pictures are told apart by identity: the icon shown shares its data with the one assigned.
inline bool SameIcon(const QIcon& a, const QIcon& b)
{
    return a.cacheKey() == b.cacheKey();
}

// A tray icon on a fake notification area, with the helpers its tests share.
class TrayFixture : public ::testing::Test
{
protected:
    const NotifyIconData* Shown() const { return area.Shown().empty() ? nullptr : &area.Shown().front(); }

    bool ShownIs(const QIcon& icon) const { return Shown() && SameIcon(Shown()->icon, icon); }

    // Delivers a mouse message from the icon shown.
    void Mouse(uint32_t mouseMessage)
    {
        ASSERT_NE(Shown(), nullptr);
        area.Deliver(Shown()->window, mouseMessage);
    }

    fake::FakeNotifyArea area;
    fake::FakeClock clock;
    fake::FakeMessageBoxes boxes;
    std::unique_ptr<TRxTrayIcon> tray = std::make_unique<TRxTrayIcon>(nullptr, area, clock, boxes);
    const QIcon still = SolidIcon(Qt::blue);
    const QIcon frameA = SolidIcon(Qt::red);
    const QIcon frameB = SolidIcon(Qt::yellow);
};

} // namespace parlino::test
