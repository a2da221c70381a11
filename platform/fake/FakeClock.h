#pragma once

#include "platform/Clock.h"

#include <atomic>

namespace parlino::fake {

// Ticks move only when a test says so; sleeping really sleeps but leaves the ticks alone.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(uint32_t start = 0) : now_(start) {}
    uint32_t TickCount() override { return now_.load(); }
    void Sleep(uint32_t milliseconds) override;
    void Set(uint32_t now) { now_ = now; }
    void Advance(uint32_t milliseconds) { now_ += milliseconds; }

private:
    std::atomic<uint32_t> now_;
};

} // namespace parlino::fake
