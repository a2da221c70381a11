#include "platform/fake/FakeClock.h"

#include <algorithm>
#include <thread>

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

FakeClock::~FakeClock()
{
    WaitForWaiters(0);
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

void FakeClock::Advance(uint32_t milliseconds)
{
    std::lock_guard lock(mutex_);
    ticks_ += milliseconds;
    now_ += std::chrono::milliseconds(milliseconds);
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
