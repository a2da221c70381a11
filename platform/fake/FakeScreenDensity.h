#pragma once

#include "platform/ScreenDensity.h"

namespace parlino::fake {

class FakeScreenDensity final : public ScreenDensity
{
public:
    explicit FakeScreenDensity(int pixelsPerInch = 96) : pixelsPerInch_(pixelsPerInch) {}
    int PixelsPerInch() const override { return pixelsPerInch_; }
    void Set(int pixelsPerInch) { pixelsPerInch_ = pixelsPerInch; }

private:
    int pixelsPerInch_;
};

} // namespace parlino::fake
