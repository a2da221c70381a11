#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

// Measures the longest time the main thread went without serving its event loop: a 1 ms timer
// notes each tick, and the longest gap between two ticks is the longest block.
class MainThreadBlockMeter
{
public:
    MainThreadBlockMeter()
    {
        clock_.start();
        ticker_.setInterval(1);
        QObject::connect(&ticker_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
        last_ = clock_.nsecsElapsed();
        ticker_.start();
    }

    double LongestMs() const { return static_cast<double>(longest_) / 1e6; }
    double ElapsedMs() const { return static_cast<double>(clock_.nsecsElapsed()) / 1e6; }

private:
    QElapsedTimer clock_;
    QTimer ticker_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};
