#include "platform/fake/qt/FakeNotifyArea.h"

#include <algorithm>

namespace parlino::fake {

std::vector<NotifyIconData>::iterator FakeNotifyArea::Find(const NotifyIconData& data)
{
    return std::find_if(shown_.begin(), shown_.end(), [&](const NotifyIconData& icon) {
        return icon.window == data.window && icon.iconId == data.iconId;
    });
}

bool FakeNotifyArea::NotifyIcon(NotifyIconMessage message, const NotifyIconData& data)
{
    const auto icon = Find(data);
    bool succeeded = false;
    switch (message) {
    case NotifyIconMessage::Add:
        succeeded = available_ && !refuseAdds_ && icon == shown_.end();
        if (succeeded)
            shown_.push_back(data);
        break;
    case NotifyIconMessage::Modify:
        succeeded = icon != shown_.end();
        if (succeeded) {
            if (data.flags & kNifIcon)
                icon->icon = data.icon;
            if (data.flags & kNifTip)
                icon->tip = data.tip;
            if (data.flags & kNifMessage)
                icon->callbackMessage = data.callbackMessage;
        }
        break;
    case NotifyIconMessage::Delete:
        succeeded = icon != shown_.end();
        if (succeeded)
            shown_.erase(icon);
        break;
    }
    calls_.push_back({message, data, succeeded});
    return succeeded;
}

int FakeNotifyArea::CountOf(NotifyIconMessage message) const
{
    return static_cast<int>(
        std::count_if(calls_.begin(), calls_.end(), [&](const Call& call) { return call.message == message; }));
}

const NotifyIconData* FakeNotifyArea::ShownFor(const NotifyReceiver* window) const
{
    const auto icon =
        std::find_if(shown_.begin(), shown_.end(), [&](const NotifyIconData& shown) { return shown.window == window; });
    return icon == shown_.end() ? nullptr : &*icon;
}

bool FakeNotifyArea::Deliver(const NotifyReceiver* window, uint32_t mouseMessage)
{
    const NotifyIconData* icon = ShownFor(window);
    if (!icon)
        return false;
    // Copied first: the receiver may remove its icon while it handles the message.
    const NotifyIconData target = *icon;
    target.window->NotifyMessage(target.callbackMessage, target.iconId, mouseMessage);
    return true;
}

} // namespace parlino::fake
