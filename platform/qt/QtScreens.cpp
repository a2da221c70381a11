#include "platform/qt/QtScreens.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace parlino {

QtScreens::QtScreens()
{
    // Wayland's compositors place windows themselves and tell no one where.
    canPlaceWindows_ = !QGuiApplication::platformName().startsWith(QLatin1StringView("wayland"));
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) {
        workAreas_.append(QRect(QPoint(0, 0), primarySize_));
        return;
    }
    if (const int dpi = static_cast<int>(std::lround(primary->logicalDotsPerInch())); dpi > 0)
        pixelsPerInch_ = dpi;
    primarySize_ = primary->size();
    workAreas_.append(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            workAreas_.append(screen->availableGeometry());
    }
}

} // namespace parlino
