#pragma once

#include "platform/Screens.h"

namespace parlino {

// The screens as Qt reports them when this is made (after the application object), kept for the whole run so that
// pixel sizes and stored positions mean the same thing throughout. Without any screen: one notional screen of
// 1024 x 768 at 96 pixels per inch.
class QtScreens final : public Screens
{
public:
    QtScreens();

    int PixelsPerInch() const override { return pixelsPerInch_; }
    QSize PrimarySize() const override { return primarySize_; }
    QList<QRect> WorkAreas() const override { return workAreas_; }
    bool CanPlaceWindows() const override { return canPlaceWindows_; }

private:
    int pixelsPerInch_ = 96;
    QSize primarySize_{1024, 768};
    QList<QRect> workAreas_;
    bool canPlaceWindows_ = true;
};

} // namespace parlino
