#pragma once

#include "platform/ScreenDensity.h"

namespace parlino {

// The primary screen's logical density; 96 when there is no screen at all.
class QtScreenDensity final : public ScreenDensity
{
public:
    int PixelsPerInch() const override;
};

} // namespace parlino
