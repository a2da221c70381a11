#include "codec/RepeatFilter.h"

namespace parlino {

bool RepeatFilter::IsRepeat(uint16_t checksum, uint32_t now)
{
    // Unsigned, so that a tick count that wrapped in between still gives the time elapsed, and a datagram
    // weeks later is not taken for a repeat.
    const bool repeat = lastChecksum_ == checksum && now - lastArrival_ < kWindowMs;
    lastArrival_ = now;
    lastChecksum_ = checksum;
    return repeat;
}

} // namespace parlino
