#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
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

} // namespace parlino::test
