#include "platform/MainThreadHandOver.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>

namespace parlino::MainThreadHandOver {
namespace {

struct Request
{
    std::function<void()> fn;
    std::exception_ptr error;
    bool done = false;
};

std::mutex mutex;
std::condition_variable changed;
std::deque<Request*> pending;
bool servePosted = false;

// Hand-overs wait while a modal box runs its own loop; they are retried shortly afterwards.
constexpr int kModalRetryMs = 20;

void PostServe();

void ServeFromEventLoop()
{
    {
        std::lock_guard lock(mutex);
        servePosted = false;
    }
    if (InModalLoop()) {
        QTimer::singleShot(kModalRetryMs, QCoreApplication::instance(), [] { ServeFromEventLoop(); });
        std::lock_guard lock(mutex);
        servePosted = true;
        return;
    }
    ServePending();
}

void PostServe()
{
    auto* app = QCoreApplication::instance();
    if (!app)
        return;
    {
        std::lock_guard lock(mutex);
        if (servePosted)
            return;
        servePosted = true;
    }
    QMetaObject::invokeMethod(
        app, [] { ServeFromEventLoop(); }, Qt::QueuedConnection);
}

} // namespace

bool InModalLoop()
{
    return QThread::currentThread()->loopLevel() > 1;
}

bool IsMainThread()
{
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void Run(const std::function<void()>& fn)
{
    if (IsMainThread()) {
        fn();
        return;
    }
    Request request{fn, nullptr, false};
    {
        std::lock_guard lock(mutex);
        pending.push_back(&request);
    }
    changed.notify_all();
    PostServe();
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return request.done; });
    if (request.error)
        std::rethrow_exception(request.error);
}

int ServePending()
{
    int served = 0;
    for (;;) {
        Request* request = nullptr;
        {
            std::lock_guard lock(mutex);
            if (pending.empty())
                break;
            request = pending.front();
            pending.pop_front();
        }
        try {
            request->fn();
        } catch (...) {
            request->error = std::current_exception();
        }
        {
            std::lock_guard lock(mutex);
            request->done = true;
        }
        changed.notify_all();
        ++served;
    }
    return served;
}

bool ServeUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        ServePending();
        std::unique_lock lock(mutex);
        const auto ready = [&] { return !pending.empty() || done(); };
        if (timeoutMs < 0)
            changed.wait(lock, ready);
        else if (!changed.wait_until(lock, deadline, ready))
            return false;
        if (pending.empty())
            return true;
    }
}

void Wake()
{
    {
        std::lock_guard lock(mutex);
    }
    changed.notify_all();
}

} // namespace parlino::MainThreadHandOver
