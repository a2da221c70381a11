#pragma once

namespace parlino {

// The screen's logical pixels per inch, which ties a font's pixel height to its point size.
class ScreenDensity
{
public:
    virtual ~ScreenDensity() = default;
    virtual int PixelsPerInch() const = 0;
};

} // namespace parlino
