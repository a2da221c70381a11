#pragma once

#include "platform/qt/NotifyArea.h"

#include <QPointer>
#include <QSystemTrayIcon>

#include <map>
#include <utility>

namespace parlino {

// The notification area through QSystemTrayIcon. Qt reports activations rather than raw button
// events, so each one is delivered as the mouse messages the same action produces elsewhere.
class QtNotifyArea final : public NotifyArea
{
public:
    QtNotifyArea() = default;
    ~QtNotifyArea() override;
    QtNotifyArea(const QtNotifyArea&) = delete;
    QtNotifyArea& operator=(const QtNotifyArea&) = delete;

    bool NotifyIcon(NotifyIconMessage message, const NotifyIconData& data) override;
    bool IsAvailable() const override;
    QPoint CursorPos() const override;
    Qt::KeyboardModifiers KeyboardModifiers() const override;

private:
    using Key = std::pair<NotifyReceiver*, uint32_t>;
    struct Entry
    {
        QPointer<QSystemTrayIcon> icon;
        uint32_t callbackMessage;
    };

    bool Add(const Key& key, const NotifyIconData& data);
    void Activated(const Key& key, const QSystemTrayIcon* icon, QSystemTrayIcon::ActivationReason reason);

    std::map<Key, Entry> icons_;
};

} // namespace parlino
