#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QThread>

#include <functional>

namespace parlino::test {

// Spins the event loop until the condition holds or the time-out passes; true when it held. The default
// time-out is generous: it only matters when a test fails, and a loaded machine running sanitized builds
// of every test at once can be slow.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 20000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

// Runs the main thread's queue up to here: a sentinel queued now runs after everything queued before it, so what
// queued work would have done is done once it has run. True when it ran within the time-out.
inline bool DrainQueue()
{
    bool reached = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&reached] { reached = true; }, Qt::QueuedConnection);
    return WaitUntil([&reached] { return reached; });
}

// Ends a loop once the main thread's queue has taken the call a thread's hand-over posts to the application, so
// what serving it did, or left for later, is done when the loop returns.
class QuitOnceHandOverPosted final : public QObject
{
public:
    explicit QuitOnceHandOverPosted(QEventLoop& loop) : loop_(loop)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::MetaCall)
            QMetaObject::invokeMethod(&loop_, &QEventLoop::quit, Qt::QueuedConnection);
        return false;
    }

private:
    QEventLoop& loop_;
};

} // namespace parlino::test
