#pragma once

#include "platform/Screens.h"

namespace parlino::fake {

// A screen set arranged by the test: one 1024 x 768 screen at 96 pixels per inch unless told otherwise.
class FakeScreens final : public Screens
{
public:
    explicit FakeScreens(int density = 96) : pixelsPerInch(density)
    {
        workAreas.append(QRect(QPoint(0, 0), primarySize));
    }

    int PixelsPerInch() const override { return pixelsPerInch; }
    QSize PrimarySize() const override { return primarySize; }
    QList<QRect> WorkAreas() const override { return workAreas; }
    bool CanPlaceWindows() const override { return canPlaceWindows; }

    int pixelsPerInch;
    QSize primarySize{1024, 768};
    QList<QRect> workAreas;
    bool canPlaceWindows = true;
};

} // namespace parlino::fake
