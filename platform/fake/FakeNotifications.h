#pragma once

#include "platform/DesktopNotifications.h"
#include "platform/fake/Recording.h"

namespace parlino::fake {

// Records every notification as "key|text" and clicks on demand.
class FakeNotifications final : public Recording<DesktopNotifications>
{
public:
    void Show(const QString& key, const QString& text) override { Record(key + u'|' + text); }

    void Click(const QString& key)
    {
        if (OnClicked)
            OnClicked(key);
    }
};

} // namespace parlino::fake
