#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace parlino {

enum class ThreadPriority { Idle, Lowest, Normal };

// Base class of every background thread. Threads start suspended and run Execute() once resumed.
// The rules threads keep to (hand-overs, stopping, waiting) are written once, in MainThreadHandOver.h.
class TThread
{
public:
    // Threads are always made suspended: Execute may only run once the derived object is complete.
    TThread() = default;
    // Destroying a thread that still runs asks it to terminate and waits for it (serving hand-overs).
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Resume();
    void Terminate() { terminated_.store(true, std::memory_order_release); }
    bool Terminated() const { return terminated_.load(std::memory_order_acquire); }
    bool Finished() const { return finished_.load(std::memory_order_acquire); }

    // Takes effect immediately on a running thread, else when it starts.
    void SetPriority(ThreadPriority priority);
    ThreadPriority Priority() const { return priority_.load(); }

    // A free-on-terminate thread deletes itself when Execute returns; it must not be waited for.
    void SetFreeOnTerminate(bool value) { freeOnTerminate_ = value; }
    bool FreeOnTerminate() const { return freeOnTerminate_; }

    // Blocks until Execute has returned. From the main thread it serves hand-overs meanwhile.
    void WaitFor();

protected:
    virtual void Execute() = 0;
    // Runs fn on the main thread and blocks until it has returned; an exception it throws is rethrown here.
    void Synchronize(const std::function<void()>& fn);

private:
    void Run();
    void ApplyPriority();

    std::thread thread_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::atomic<ThreadPriority> priority_{ThreadPriority::Normal};
    std::atomic<bool> freeOnTerminate_{false};
    std::atomic<bool> started_{false};
    std::atomic<long> tid_{0};
    std::atomic<unsigned long> nativeHandle_{0};
    std::mutex finishMutex_;
    std::condition_variable finishedChanged_;
};

} // namespace parlino
