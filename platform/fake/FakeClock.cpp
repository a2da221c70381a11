#include "platform/fake/FakeClock.h"

#include <chrono>
#include <thread>

namespace parlino::fake {

void FakeClock::Sleep(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace parlino::fake
