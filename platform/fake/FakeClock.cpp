#include "platform/fake/FakeClock.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace parlino::fake {

class FakeClock::FakeAlarm final : public Alarm
{
public:
    explicit FakeAlarm(FakeClock& clock) : clock_(clock) {}

    void Wake() override
    {
        std::lock_guard lock(clock_.mutex_);
        ++wakes_;
        clock_.changed_.notify_all();
    }

    uint64_t Wakes() const { return wakes_; }

protected:
    bool Block(std::unique_lock<std::mutex>& lock, Clock::Time deadline) override
    {
        std::unique_lock clockLock(clock_.mutex_);
        if (clock_.now_ >= deadline)
            return false;
        const Waiter me{this, wakes_, clock_.now_};
        clock_.waiters_.push_back(&me);
        // The clock's lock is taken before the waiter's is let go: no wake-up falls between the two.
        lock.unlock();
        clock_.changed_.notify_all();
        clock_.changed_.wait(clockLock, [&] { return !clock_.Settled(me); });
        std::erase(clock_.waiters_, &me);
        clock_.changed_.notify_all();
        clockLock.unlock();
        lock.lock();
        return true;
    }

private:
    FakeClock& clock_;
    uint64_t wakes_ = 0; // guarded by the clock's mutex
};

class FakeClock::FakeTimer final : public MainThreadTimer
{
public:
    FakeTimer(FakeClock& clock, Interval interval, TimerRepeat repeat, std::function<void()> action)
        : clock_(&clock), interval_(interval), repeat_(repeat), action_(std::move(action))
    {
        std::lock_guard lock(clock.mutex_);
        clock.timers_.push_back(this);
    }

    ~FakeTimer() override
    {
        if (!clock_)
            return;
        std::lock_guard lock(clock_->mutex_);
        std::erase(clock_->timers_, this);
    }

    FakeTimer(const FakeTimer&) = delete;
    FakeTimer& operator=(const FakeTimer&) = delete;

    void Start() override
    {
        if (!clock_)
            return;
        std::lock_guard lock(clock_->mutex_);
        active_ = true;
        due_ = clock_->now_ + interval_;
        start_ = ++clock_->starts_;
    }

    void Stop() override
    {
        if (!clock_)
            return;
        std::lock_guard lock(clock_->mutex_);
        active_ = false;
    }

    bool IsActive() const override
    {
        if (!clock_)
            return false;
        std::lock_guard lock(clock_->mutex_);
        return active_;
    }

private:
    friend class FakeClock;

    // With the clock's lock held, at the time it is due: what to run once the lock is let go. A copy, as the
    // action may destroy its own timer.
    std::function<void()> Fire()
    {
        if (repeat_ == TimerRepeat::SingleShot)
            active_ = false;
        else
            due_ += interval_;
        return action_;
    }

    FakeClock* clock_; // null once the clock is gone
    const Interval interval_;
    const TimerRepeat repeat_;
    const std::function<void()> action_;
    // Guarded by the clock's mutex.
    bool active_ = false;
    Time due_;
    uint64_t start_ = 0;
};

FakeClock::~FakeClock()
{
    WaitForWaiters(0);
    std::lock_guard lock(mutex_);
    for (FakeTimer* timer : timers_) {
        timer->clock_ = nullptr;
        timer->active_ = false;
    }
}

uint32_t FakeClock::TickCount()
{
    std::lock_guard lock(mutex_);
    return ticks_;
}

void FakeClock::Sleep(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

Clock::Time FakeClock::Now()
{
    std::lock_guard lock(mutex_);
    return now_;
}

std::unique_ptr<Alarm> FakeClock::NewAlarm()
{
    return std::make_unique<FakeAlarm>(*this);
}

void FakeClock::Set(uint32_t ticks)
{
    std::lock_guard lock(mutex_);
    ticks_ = ticks;
}

std::unique_ptr<MainThreadTimer> FakeClock::NewTimer(Interval interval, TimerRepeat repeat,
                                                     std::function<void()> action)
{
    return std::make_unique<FakeTimer>(*this, interval, repeat, std::move(action));
}

void FakeClock::Advance(uint32_t milliseconds)
{
    std::unique_lock lock(mutex_);
    const Time end = now_ + std::chrono::milliseconds(milliseconds);
    while (FakeTimer* timer = NextDue(end)) {
        MoveTo(timer->due_);
        const std::function<void()> action = timer->Fire();
        // Unlocked: the action reads the clock and starts, stops or destroys timers.
        lock.unlock();
        action();
        lock.lock();
    }
    MoveTo(end);
}

FakeClock::FakeTimer* FakeClock::NextDue(Time by) const
{
    FakeTimer* next = nullptr;
    for (FakeTimer* timer : timers_) {
        if (!timer->active_ || timer->due_ > by)
            continue;
        if (!next || std::pair(timer->due_, timer->start_) < std::pair(next->due_, next->start_))
            next = timer;
    }
    return next;
}

void FakeClock::MoveTo(Time time)
{
    ticks_ += static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(time - now_).count());
    now_ = time;
    changed_.notify_all();
}

bool FakeClock::WaitForWaiters(size_t count, int timeoutMs)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return waiters_.size() == count &&
               std::ranges::all_of(waiters_, [this](const Waiter* waiter) { return Settled(*waiter); });
    });
}

bool FakeClock::Settled(const Waiter& waiter) const
{
    return waiter.seen == now_ && waiter.wakes == waiter.alarm->Wakes();
}

} // namespace parlino::fake
