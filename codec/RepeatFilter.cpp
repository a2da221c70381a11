#include "codec/RepeatFilter.h"

namespace parlino {
namespace {
constexpr int32_t kRepeatSeconds = 2;
}

bool RepeatFilter::IsRepeat(uint16_t checksum, uint32_t now)
{
    // Signed so that a tick count that wrapped (or lies ~24.8 days back) counts as "just now".
    const auto elapsed = static_cast<int32_t>(now - lastArrival_);
    const bool repeat = elapsed / 1000 < kRepeatSeconds && lastChecksum_ == checksum;
    lastArrival_ = now;
    lastChecksum_ = checksum;
    return repeat;
}

} // namespace parlino
