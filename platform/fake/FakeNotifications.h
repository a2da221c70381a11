#pragma once

#include "platform/DesktopNotifications.h"

#include <QStringList>

namespace parlino::fake {

// Records every notification as "key|text" and clicks on demand.
class FakeNotifications final : public DesktopNotifications
{
public:
    void Show(const QString& key, const QString& text) override { shown_.append(key + u'|' + text); }
    const QStringList& Shown() const { return shown_; }

    void Click(const QString& key)
    {
        if (OnClicked)
            OnClicked(key);
    }

private:
    QStringList shown_;
};

} // namespace parlino::fake
