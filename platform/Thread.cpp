#include "platform/Thread.h"

#include "platform/MainThreadHandOver.h"

#include <future>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace parlino {
namespace {

// "Lowest" keeps the scheduler's ordinary policy but yields to everything at normal priority.
constexpr int kLowestNice = 5;

} // namespace

TThread::~TThread()
{
    if (thread_.joinable()) {
        // Made free-on-terminate after it started: the thread is deleting itself and cannot join itself.
        if (std::this_thread::get_id() == thread_.get_id()) {
            thread_.detach();
            return;
        }
        if (!Finished()) {
            Terminate();
            WaitFor();
        }
        thread_.join();
    }
}

void TThread::Resume()
{
    if (started_.exchange(true))
        return;
    // The body may end, and a thread that is or becomes free-on-terminate delete this object, as soon as
    // it runs: it runs only once the handle is stored, and nothing of this object is read after that.
    const bool detach = freeOnTerminate_.load();
    std::promise<void> handleStored;
    std::thread thread([this, stored = handleStored.get_future()] {
        stored.wait();
        Run();
    });
    if (detach)
        thread.detach();
    else
        thread_ = std::move(thread);
    handleStored.set_value();
}

void TThread::SetPriority(ThreadPriority priority)
{
    priority_ = priority;
    if (tid_.load() != 0)
        ApplyPriority();
}

void TThread::ApplyPriority()
{
    // Raising a lowered priority may be refused to an unprivileged user; the thread then stays lower.
    sched_param param{};
    const ThreadPriority priority = priority_.load();
    pthread_setschedparam(nativeHandle_.load(), priority == ThreadPriority::Idle ? SCHED_IDLE : SCHED_OTHER, &param);
    setpriority(PRIO_PROCESS, static_cast<id_t>(tid_.load()), priority == ThreadPriority::Lowest ? kLowestNice : 0);
}

void TThread::Run()
{
    nativeHandle_ = pthread_self();
    tid_ = gettid();
    ApplyPriority();
    try {
        Execute();
    } catch (...) {
        // An exception leaving a thread body ends the thread; it has nowhere else to go.
    }
    const bool freeSelf = freeOnTerminate_.load();
    {
        std::lock_guard lock(finishMutex_);
        finished_.store(true, std::memory_order_release);
    }
    finishedChanged_.notify_all();
    MainThreadHandOver::Wake();
    if (freeSelf)
        delete this;
}

void TThread::WaitFor()
{
    if (!started_ || std::this_thread::get_id() == thread_.get_id())
        return;
    if (MainThreadHandOver::IsMainThread())
        MainThreadHandOver::ServeUntil([this] { return Finished(); });
    else {
        std::unique_lock lock(finishMutex_);
        finishedChanged_.wait(lock, [this] { return Finished(); });
    }
}

void TThread::Synchronize(const std::function<void()>& fn)
{
    MainThreadHandOver::Run(fn);
}

} // namespace parlino
