#include "platform/qt/QtScreenDensity.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace parlino {

int QtScreenDensity::PixelsPerInch() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int dpi = screen ? static_cast<int>(std::lround(screen->logicalDotsPerInch())) : 0;
    return dpi > 0 ? dpi : 96;
}

} // namespace parlino
