#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace parlino {

class Alarm;

// Milliseconds since the system started, wrapping at 32 bits, sleeping, and the time by which threads wait
// (see Alarm). Tests put in a clock they move by hand.
class Clock
{
public:
    using Time = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual uint32_t TickCount() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
    // Never goes back.
    virtual Time Now() = 0;
    virtual std::unique_ptr<Alarm> NewAlarm() = 0;
};

// Where a thread waits until a time of its clock comes or another thread wakes it. The waiter holds the lock
// on the mutex that guards what it waits for; whoever changes that calls Wake.
class Alarm
{
public:
    virtual ~Alarm() = default;
    virtual void Wake() = 0;

    // Returns done() once it holds or the deadline has come.
    template <typename Done> bool WaitUntil(std::unique_lock<std::mutex>& lock, Clock::Time deadline, Done done)
    {
        while (!done())
            if (!Block(lock, deadline))
                return done();
        return true;
    }

    template <typename Done> void Wait(std::unique_lock<std::mutex>& lock, Done done)
    {
        WaitUntil(lock, Clock::Time::max(), done);
    }

protected:
    // Lets go of the lock until woken, perhaps for nothing, or until the deadline; false once it has come.
    virtual bool Block(std::unique_lock<std::mutex>& lock, Clock::Time deadline) = 0;
};

class SystemClock final : public Clock
{
public:
    uint32_t TickCount() override;
    void Sleep(uint32_t milliseconds) override;
    Time Now() override;
    std::unique_ptr<Alarm> NewAlarm() override;
};

// A timer whose action runs on the main thread once its interval has passed: every interval while it is
// active, or once. Main thread only; destroying it stops it.
class MainThreadTimer
{
public:
    virtual ~MainThreadTimer() = default;
    // Waits a whole interval from now, also when it was active already.
    virtual void Start() = 0;
    virtual void Stop() = 0;
    // A single-shot timer is no longer active while its action runs.
    virtual bool IsActive() const = 0;
};

enum class TimerRepeat { Repeating, SingleShot };

// Where components get their main-thread timers, so tests can move them with the clock they move by hand.
class MainThreadTimers
{
public:
    using Interval = std::chrono::milliseconds;

    virtual ~MainThreadTimers() = default;
    // A stopped timer; a repeating one needs an interval of at least a millisecond.
    virtual std::unique_ptr<MainThreadTimer> NewTimer(Interval interval, TimerRepeat repeat,
                                                      std::function<void()> action) = 0;
};

// Qt's timers on the main thread's event loop.
class QtTimers final : public MainThreadTimers
{
public:
    std::unique_ptr<MainThreadTimer> NewTimer(Interval interval, TimerRepeat repeat,
                                              std::function<void()> action) override;
};

} // namespace parlino
