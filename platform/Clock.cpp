#include "platform/Clock.h"

#include <QTimer>

#include <condition_variable>
#include <ctime>
#include <thread>

namespace parlino {
namespace {

class SystemAlarm final : public Alarm
{
public:
    void Wake() override { wake_.notify_all(); }

protected:
    bool Block(std::unique_lock<std::mutex>& lock, Clock::Time deadline) override
    {
        if (deadline == Clock::Time::max()) {
            wake_.wait(lock);
            return true;
        }
        return wake_.wait_until(lock, deadline) == std::cv_status::no_timeout;
    }

private:
    std::condition_variable wake_;
};

class QtTimer final : public MainThreadTimer
{
public:
    QtTimer(MainThreadTimers::Interval interval, TimerRepeat repeat, std::function<void()> action)
    {
        timer_.setInterval(interval);
        timer_.setSingleShot(repeat == TimerRepeat::SingleShot);
        QObject::connect(&timer_, &QTimer::timeout, std::move(action));
    }

    void Start() override { timer_.start(); }
    void Stop() override { timer_.stop(); }
    bool IsActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<MainThreadTimer> QtTimers::NewTimer(Interval interval, TimerRepeat repeat, std::function<void()> action)
{
    return std::make_unique<QtTimer>(interval, repeat, std::move(action));
}

uint32_t SystemClock::TickCount()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void SystemClock::Sleep(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

Clock::Time SystemClock::Now()
{
    return std::chrono::steady_clock::now();
}

std::unique_ptr<Alarm> SystemClock::NewAlarm()
{
    return std::make_unique<SystemAlarm>();
}

} // namespace parlino
