#pragma once

#include "platform/qt/NotifyArea.h"

#include <vector>

namespace parlino::fake {

// A notification area in memory that behaves like the real one (adding twice, or changing or removing
// an icon that is not there, fails), records every call and lets a test act on an icon with the mouse.
class FakeNotifyArea final : public NotifyArea
{
public:
    struct Call
    {
        NotifyIconMessage message;
        NotifyIconData data;
        bool succeeded;
    };

    bool NotifyIcon(NotifyIconMessage message, const NotifyIconData& data) override;
    bool IsAvailable() const override { return available_; }
    QPoint CursorPos() const override { return cursorPos_; }
    Qt::KeyboardModifiers KeyboardModifiers() const override { return modifiers_; }

    const std::vector<Call>& Calls() const { return calls_; }
    int CountOf(NotifyIconMessage message) const;
    void ClearCalls() { calls_.clear(); }

    // The icons shown now, oldest first, and the one of a receiver (nullptr when it shows none).
    const std::vector<NotifyIconData>& Shown() const { return shown_; }
    const NotifyIconData* ShownFor(const NotifyReceiver* window) const;

    void SetAvailable(bool available) { available_ = available; }
    // Every add fails while set, as when the desktop refuses icons.
    void RefuseAdds(bool refuse) { refuseAdds_ = refuse; }
    void SetCursorPos(QPoint pos) { cursorPos_ = pos; }
    void SetKeyboardModifiers(Qt::KeyboardModifiers modifiers) { modifiers_ = modifiers; }

    // Sends a mouse message from the receiver's icon as its callback message; false when it shows none.
    bool Deliver(const NotifyReceiver* window, uint32_t mouseMessage);

private:
    std::vector<NotifyIconData>::iterator Find(const NotifyIconData& data);

    std::vector<Call> calls_;
    std::vector<NotifyIconData> shown_;
    bool available_ = true;
    bool refuseAdds_ = false;
    QPoint cursorPos_;
    Qt::KeyboardModifiers modifiers_;
};

} // namespace parlino::fake
