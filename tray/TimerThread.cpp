#include "tray/TimerThread.h"

#include "tray/RxTrayIcon.h"

#include <QCoreApplication>

#include <chrono>

namespace parlino {

TTimerThread::TTimerThread(TRxTrayIcon* owner, Clock& clock, uint16_t interval, bool paused)
    : link_(std::make_shared<Link>()), clock_(clock), alarm_(clock.NewAlarm()), interval_(interval), paused_(paused)
{
    link_->owner = owner;
    SetFreeOnTerminate(true);
    Resume();
}

void TTimerThread::Pause()
{
    std::lock_guard lock(mutex_);
    paused_ = true;
    alarm_->Wake();
}

void TTimerThread::Continue()
{
    std::lock_guard lock(mutex_);
    paused_ = false;
    alarm_->Wake();
}

void TTimerThread::SetInterval(uint16_t interval)
{
    std::lock_guard lock(mutex_);
    interval_ = interval;
    // Out of the wait of a zero interval; a timed wait under way keeps its time.
    alarm_->Wake();
}

void TTimerThread::Stop()
{
    // One locked section: once it is left the thread may end and free itself at any moment.
    std::lock_guard lock(mutex_);
    link_->owner = nullptr;
    paused_ = false;
    Terminate();
    alarm_->Wake();
}

void TTimerThread::Execute()
{
    std::unique_lock lock(mutex_);
    while (!Terminated()) {
        if (paused_ || interval_ == 0) {
            alarm_->Wait(lock, [this] { return (!paused_ && interval_ != 0) || Terminated(); });
            continue;
        }
        const Clock::Time due = clock_.Now() + std::chrono::milliseconds(interval_);
        // Woken early by a pause or a stop, the wait did not run its full time: no step.
        if (!alarm_->WaitUntil(lock, due, [this] { return paused_ || Terminated(); }))
            AskForStep();
    }
}

void TTimerThread::AskForStep()
{
    auto* app = QCoreApplication::instance();
    if (!app || QCoreApplication::closingDown() || !link_->owner.load() || link_->stepPending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        app,
        [link = link_] {
            link->stepPending = false;
            if (TRxTrayIcon* owner = link->owner.load())
                owner->NextFrame();
        },
        Qt::QueuedConnection);
}

} // namespace parlino
