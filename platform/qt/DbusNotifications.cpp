#include "platform/qt/DbusNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace parlino {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kDefaultAction = QStringLiteral("default");
const QString kAppName = QStringLiteral("Parlino");
// The installed icon and desktop file are both named after the program.
const QString kDesktopName = QStringLiteral("parlino");
// The service decides how long a notification stays.
constexpr int kServiceTimeout = -1;

QDBusMessage Call(const QString& method, const QVariantList& arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, method);
    call.setArguments(arguments);
    return call;
}

} // namespace

DbusNotifications::DbusNotifications(std::function<QDBusConnection()> connect) : connect_(std::move(connect)) {}

QDBusConnection& DbusNotifications::Bus()
{
    if (bus_)
        return *bus_;
    bus_ = connect_();
    // From any sender: naming the service would make Qt ask the bus for its owner and wait for the answer.
    bus_->connect(QString(), kPath, kService, QStringLiteral("ActionInvoked"), this,
                  SLOT(ActionInvoked(uint, QString)));
    bus_->connect(QString(), kPath, kService, QStringLiteral("NotificationClosed"), this,
                  SLOT(NotificationClosed(uint, uint)));
    return *bus_;
}

void DbusNotifications::Show(const QString& key, const QString& text)
{
    Entry& entry = entries_[key];
    entry.waiting = text;
    entry.shownAt = ++shown_;
    Send(key);
}

void DbusNotifications::AskCapabilities()
{
    if (asking_)
        return;
    asking_ = true;
    const quint64 askedFor = shown_;
    WhenAnswered(Bus().asyncCall(Call(QStringLiteral("GetCapabilities"))),
                 [this, askedFor](const QDBusPendingCall& call) {
                     asking_ = false;
                     const QDBusPendingReply<QStringList> reply = call;
                     if (reply.isError()) {
                         // A text shown since may find the service come up meanwhile: it asks again.
                         for (Entry& entry : entries_)
                             if (entry.shownAt <= askedFor)
                                 entry.waiting.reset();
                     } else {
                         markup_ = reply.value().contains(QStringLiteral("body-markup"));
                     }
                     for (const QString& key : entries_.keys())
                         Send(key);
                 });
}

void DbusNotifications::Send(const QString& key)
{
    Entry& entry = entries_[key];
    if (entry.sending || !entry.waiting)
        return;
    if (!markup_) {
        AskCapabilities();
        return;
    }
    const QString body = *markup_ ? entry.waiting->toHtmlEscaped() : *entry.waiting;
    entry.waiting.reset();
    entry.sending = true;
    const QVariantMap hints{{QStringLiteral("desktop-entry"), kDesktopName}};
    const QStringList actions{kDefaultAction, tr("Open")};
    const QDBusMessage notify = Call(
        QStringLiteral("Notify"), {kAppName, entry.id, kDesktopName, kAppName, body, actions, hints, kServiceTimeout});
    WhenAnswered(Bus().asyncCall(notify), [this, key](const QDBusPendingCall& call) {
        const QDBusPendingReply<uint> reply = call;
        if (reply.isError()) {
            // The service went away or was replaced: the next notification asks again what it reads.
            entries_.remove(key);
            markup_.reset();
            return;
        }
        Entry& answered = entries_[key];
        answered.sending = false;
        answered.id = reply.value();
        Send(key);
    });
}

void DbusNotifications::WhenAnswered(const QDBusPendingCall& call, std::function<void(const QDBusPendingCall&)> done)
{
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, done = std::move(done)] {
        watcher->deleteLater();
        done(*watcher);
    });
}

std::optional<QString> DbusNotifications::KeyOf(uint id) const
{
    if (id == 0)
        return std::nullopt;
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->id == id)
            return it.key();
    return std::nullopt;
}

void DbusNotifications::ActionInvoked(uint id, const QString& action)
{
    const std::optional<QString> key = KeyOf(id);
    if (key && action == kDefaultAction && OnClicked)
        OnClicked(*key);
}

void DbusNotifications::NotificationClosed(uint id, uint)
{
    const std::optional<QString> key = KeyOf(id);
    if (!key)
        return;
    Entry& entry = entries_[*key];
    entry.id = 0;
    if (!entry.sending && !entry.waiting)
        entries_.remove(*key);
}

} // namespace parlino
