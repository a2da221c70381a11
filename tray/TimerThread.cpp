#include "tray/TimerThread.h"

#include "tray/RxTrayIcon.h"

#include <QCoreApplication>

#include <chrono>

namespace parlino {

TTimerThread::TTimerThread(TRxTrayIcon* owner, uint16_t interval, bool paused)
    : link_(std::make_shared<Link>()), interval_(interval), paused_(paused)
{
    link_->owner = owner;
    SetFreeOnTerminate(true);
    Resume();
}

void TTimerThread::Pause()
{
    std::lock_guard lock(mutex_);
    paused_ = true;
    wake_.notify_all();
}

void TTimerThread::Continue()
{
    std::lock_guard lock(mutex_);
    paused_ = false;
    wake_.notify_all();
}

void TTimerThread::Stop()
{
    // One locked section: once it is left the thread may end and free itself at any moment.
    std::lock_guard lock(mutex_);
    link_->owner = nullptr;
    paused_ = false;
    Terminate();
    wake_.notify_all();
}

void TTimerThread::Execute()
{
    std::unique_lock lock(mutex_);
    while (!Terminated()) {
        if (paused_) {
            wake_.wait(lock, [this] { return !paused_ || Terminated(); });
            continue;
        }
        const auto interval = std::chrono::milliseconds(interval_.load());
        // Woken early by a pause or a stop, the wait did not run its full time: no step.
        if (!wake_.wait_for(lock, interval, [this] { return paused_ || Terminated(); }))
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
