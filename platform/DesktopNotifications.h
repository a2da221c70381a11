#pragma once

#include <QString>

#include <functional>

namespace parlino {

// The desktop's pop-up notifications. A text is shown as plain text, never as markup. Used from the main
// thread only; when the desktop has no notification service, nothing is shown and nothing is reported.
class DesktopNotifications
{
public:
    virtual ~DesktopNotifications() = default;

    // Shows text, replacing the notification shown under the same key while that one is still up.
    virtual void Show(const QString& key, const QString& text) = 0;

    // Raised when the user clicks a notification, with the key it was shown under.
    std::function<void(const QString& key)> OnClicked;
};

} // namespace parlino
