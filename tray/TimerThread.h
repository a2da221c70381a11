#pragma once

#include "platform/Clock.h"
#include "platform/Thread.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace parlino {

class TRxTrayIcon;

// Steps a tray icon's animation: every Interval milliseconds it asks the main thread to show the next
// picture, so the icon is only ever touched there. It does not step while paused, and it frees itself
// once stopped.
class TTimerThread final : public TThread
{
public:
    TTimerThread(TRxTrayIcon* owner, Clock& clock, uint16_t interval, bool paused);

    void Pause();
    void Continue();
    // Takes effect from the next wait on. An interval of 0 takes no steps at all, as a timer of 0 never fires:
    // stepping without a wait would keep a core busy.
    void SetInterval(uint16_t interval);

    // Forgets the owner and ends the thread without waiting for it. The thread may be gone as soon as
    // this returns, so the caller drops its pointer; a step already asked for does nothing.
    void Stop();

protected:
    void Execute() override;

private:
    // What a step asked for shares with the thread: it may run after the thread has ended.
    struct Link
    {
        std::atomic<TRxTrayIcon*> owner;
        // At most one step waits for the main thread, however long the main thread is busy.
        std::atomic<bool> stepPending{false};
    };

    void AskForStep();

    const std::shared_ptr<Link> link_;
    Clock& clock_;
    const std::unique_ptr<Alarm> alarm_;
    std::mutex mutex_;
    uint16_t interval_;
    bool paused_;
};

} // namespace parlino
