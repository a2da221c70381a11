#include "platform/qt/QtNotifyArea.h"

#include <QCursor>
#include <QGuiApplication>

#include <vector>

namespace parlino {
namespace {

std::vector<uint32_t> MouseMessagesOf(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return {kWmLButtonDown, kWmLButtonUp};
    case QSystemTrayIcon::Context:
        return {kWmRButtonDown, kWmRButtonUp};
    case QSystemTrayIcon::DoubleClick:
        return {kWmLButtonDblClk, kWmLButtonUp};
    case QSystemTrayIcon::MiddleClick:
        return {kWmMButtonDown, kWmMButtonUp};
    case QSystemTrayIcon::Unknown:
        break;
    }
    return {};
}

} // namespace

QtNotifyArea::~QtNotifyArea()
{
    for (auto& [key, entry] : icons_)
        delete entry.icon;
}

bool QtNotifyArea::NotifyIcon(NotifyIconMessage message, const NotifyIconData& data)
{
    const Key key{data.window, data.iconId};
    const auto found = icons_.find(key);
    if (message == NotifyIconMessage::Add)
        return found == icons_.end() && Add(key, data);
    if (found == icons_.end())
        return false;
    QSystemTrayIcon* icon = found->second.icon;
    if (message == NotifyIconMessage::Delete) {
        icons_.erase(found);
        icon->hide();
        // The icon may be removed from inside its own activation signal.
        icon->deleteLater();
        return true;
    }
    if (data.flags & kNifIcon)
        icon->setIcon(data.icon);
    if (data.flags & kNifTip)
        icon->setToolTip(data.tip);
    if (data.flags & kNifMessage)
        found->second.callbackMessage = data.callbackMessage;
    return true;
}

bool QtNotifyArea::Add(const Key& key, const NotifyIconData& data)
{
    if (!IsAvailable() || data.icon.isNull())
        return false;
    auto* icon = new QSystemTrayIcon(data.icon);
    if (data.flags & kNifTip)
        icon->setToolTip(data.tip);
    QObject::connect(icon, &QSystemTrayIcon::activated, icon,
                     [this, key, icon](QSystemTrayIcon::ActivationReason reason) { Activated(key, icon, reason); });
    icons_[key] = Entry{icon, data.callbackMessage};
    icon->show();
    return true;
}

void QtNotifyArea::Activated(const Key& key, const QSystemTrayIcon* icon, QSystemTrayIcon::ActivationReason reason)
{
    for (const uint32_t mouseMessage : MouseMessagesOf(reason)) {
        // A handler may remove the icon or destroy its receiver; later messages then have nowhere to go.
        const auto found = icons_.find(key);
        if (found == icons_.end() || found->second.icon != icon)
            return;
        key.first->NotifyMessage(found->second.callbackMessage, key.second, mouseMessage);
    }
}

bool QtNotifyArea::IsAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

QPoint QtNotifyArea::CursorPos() const
{
    return QCursor::pos();
}

Qt::KeyboardModifiers QtNotifyArea::KeyboardModifiers() const
{
    return QGuiApplication::queryKeyboardModifiers();
}

} // namespace parlino
