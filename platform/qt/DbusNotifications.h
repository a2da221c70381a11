#pragma once

#include "platform/DesktopNotifications.h"

#include <QDBusConnection>
#include <QHash>
#include <QObject>

#include <functional>
#include <optional>

class QDBusPendingCall;

namespace parlino {

// Notifications through the freedesktop notification service. Every call is asynchronous, so a slow or
// missing service never holds up the window that asked; when the service fails, the notification is dropped. The bus
// is reached at the first notification, so that a program that never shows one never waits for it.
class DbusNotifications final : public QObject, public DesktopNotifications
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DbusNotifications)

public:
    explicit DbusNotifications(std::function<QDBusConnection()> connect = &QDBusConnection::sessionBus);

    void Show(const QString& key, const QString& text) override;

private Q_SLOTS:
    void ActionInvoked(uint id, const QString& action);
    void NotificationClosed(uint id, uint reason);

private:
    // One key's notification: the id the service gave it (0 when none is up), whether a call for it is under
    // way, and the text that waits for that call's answer or for the service's capabilities, with when it was shown.
    struct Entry
    {
        uint id = 0;
        bool sending = false;
        std::optional<QString> waiting;
        quint64 shownAt = 0;
    };

    void AskCapabilities();
    void Send(const QString& key);
    void WhenAnswered(const QDBusPendingCall& call, std::function<void(const QDBusPendingCall&)> done);
    std::optional<QString> KeyOf(uint id) const;
    QDBusConnection& Bus();

    std::function<QDBusConnection()> connect_;
    std::optional<QDBusConnection> bus_;
    QHash<QString, Entry> entries_;
    // Whether the service reads a body as markup; unknown until it has told its capabilities.
    std::optional<bool> markup_;
    bool asking_ = false;
    // Counts the texts shown, so that a failed question drops only the texts it was asked for.
    quint64 shown_ = 0;
};

} // namespace parlino
