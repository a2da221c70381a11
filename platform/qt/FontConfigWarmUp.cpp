#include "platform/qt/FontConfigWarmUp.h"

#include <fontconfig/fontconfig.h>

namespace parlino {

FontConfigWarmUp::FontConfigWarmUp() : reader_([] { FcInit(); }) {}

FontConfigWarmUp::~FontConfigWarmUp()
{
    Wait();
}

void FontConfigWarmUp::Wait()
{
    if (reader_.joinable())
        reader_.join();
}

} // namespace parlino
