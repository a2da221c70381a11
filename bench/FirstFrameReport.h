#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

#include <cstdio>

// Installed on the application: prints "shown" once the first exposed window has painted its first
// frame (a window handles its expose by painting, before the queued report runs), then ends the loop.
class FirstFrameReport final : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && qobject_cast<QWindow*>(watched) && !reported_) {
            reported_ = true;
            QMetaObject::invokeMethod(
                this,
                [] {
                    std::puts("shown");
                    std::fflush(stdout);
                    QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool reported_ = false;
};
