#pragma once

#include "platform/Clock.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

namespace parlino::fake {

// Time moves only when a test says so, and then wakes the threads waiting for it and runs the timers that come
// due, in the order they do, on the test's thread; sleeping really sleeps but leaves the time alone.
class FakeClock final : public Clock, public MainThreadTimers
{
public:
    explicit FakeClock(uint32_t start = 0) : ticks_(start) {}
    // Waits for the threads still leaving their waits on it; timers left over stay stopped for good.
    ~FakeClock() override;
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    uint32_t TickCount() override;
    void Sleep(uint32_t milliseconds) override;
    Time Now() override;
    std::unique_ptr<Alarm> NewAlarm() override;
    std::unique_ptr<MainThreadTimer> NewTimer(Interval interval, TimerRepeat repeat,
                                              std::function<void()> action) override;

    // Sets the ticks alone, to reach the wrap; the time waited for stays.
    void Set(uint32_t ticks);
    void Advance(uint32_t milliseconds);
    // Waits, up to a time-out in real time, until exactly `count` threads wait on this clock and each has done
    // what the time it shows and every wake-up asked of it. False on the time-out.
    bool WaitForWaiters(size_t count, int timeoutMs = 20000);

private:
    class FakeAlarm;
    class FakeTimer;
    struct Waiter
    {
        const FakeAlarm* alarm;
        uint64_t wakes;
        Time seen;
    };

    bool Settled(const Waiter& waiter) const;
    // The timer due first by the time given, the earliest started first among equals; null when none is.
    FakeTimer* NextDue(Time by) const;
    void MoveTo(Time time);

    std::mutex mutex_;
    std::condition_variable changed_;
    uint32_t ticks_;
    Time now_;
    std::vector<const Waiter*> waiters_;
    std::vector<FakeTimer*> timers_;
    uint64_t starts_ = 0;
};

} // namespace parlino::fake
