#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace parlino {

// The desktop's screens as the program found them when it started, in logical pixels.
class Screens
{
public:
    virtual ~Screens() = default;
    // The logical pixels per inch, which tie a font's pixel height to its point size.
    virtual int PixelsPerInch() const = 0;
    // The primary screen's whole size.
    virtual QSize PrimarySize() const = 0;
    // The part of each screen that windows may take (without panels and docks), the primary screen's first; never
    // empty.
    virtual QList<QRect> WorkAreas() const = 0;
    // False where the windowing system places every window itself and a program cannot (Wayland).
    virtual bool CanPlaceWindows() const = 0;
};

} // namespace parlino
