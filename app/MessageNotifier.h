#pragma once

#include "platform/DesktopNotifications.h"

#include <QString>

#include <functional>

namespace parlino {

// Tells the desktop about a message the user is not looking at: one notification per station, replaced by
// that station's next message, and a click on it that leads back to the station's chat window.
class MessageNotifier
{
public:
    // The longest notification text, station name included.
    static constexpr qsizetype kMaxLength = 200;

    // Where a message has landed: whether its chat window is the active window once the arrival is handled, and the
    // chat window's "Flash" choice, which notifications follow too.
    struct Where
    {
        bool chatActive = false;
        bool flash = false;
    };

    // clicked receives the station whose notification the user clicked.
    MessageNotifier(DesktopNotifications& notifications, std::function<void(const QString& station)> clicked);

    // The sender is named where it is not the station itself: a message to a workgroup lands in the workgroup's window.
    void MessageArrived(const QString& station, const QString& sender, const QString& text, Where where);

private:
    DesktopNotifications& notifications_;
};

} // namespace parlino
