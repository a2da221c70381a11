#pragma once

#include <QIcon>
#include <QPoint>
#include <QString>

#include <cstdint>

namespace parlino {

// What is asked of the notification area, as the component's callers know these operations.
enum class NotifyIconMessage : uint32_t { Add = 0, Modify = 1, Delete = 2 };

// Which fields of the icon data are valid.
enum NotifyIconFlag : uint32_t { kNifMessage = 1, kNifIcon = 2, kNifTip = 4 };

constexpr uint32_t kNotifyIconDataSize = 88;
// The tip holds 64 bytes on the original platform: 63 characters and the terminator.
constexpr int kNotifyTipMaxChars = 63;

// Mouse actions on an icon, delivered to its receiver as the second message parameter.
enum TrayMouseMessage : uint32_t {
    kWmMouseMove = 0x200,
    kWmLButtonDown = 0x201,
    kWmLButtonUp = 0x202,
    kWmLButtonDblClk = 0x203,
    kWmRButtonDown = 0x204,
    kWmRButtonUp = 0x205,
    kWmRButtonDblClk = 0x206,
    kWmMButtonDown = 0x207,
    kWmMButtonUp = 0x208,
    kWmMButtonDblClk = 0x209
};

// Where an icon's callback messages go: the owner's hidden window.
class NotifyReceiver
{
public:
    virtual void NotifyMessage(uint32_t message, uint32_t iconId, uint32_t mouseMessage) = 0;

protected:
    ~NotifyReceiver() = default;
};

struct NotifyIconData
{
    uint32_t size = kNotifyIconDataSize;
    NotifyReceiver* window = nullptr;
    uint32_t iconId = 0;
    uint32_t flags = 0;
    uint32_t callbackMessage = 0;
    QIcon icon;  // null: no picture
    QString tip; // at most kNotifyTipMaxChars characters
};

// The desktop's notification area: one icon per receiver and id, each with a picture and a tip.
// Used from the main thread only.
class NotifyArea
{
public:
    virtual ~NotifyArea() = default;

    // Adds, changes or removes the icon that data names; true when the notification area did it.
    virtual bool NotifyIcon(NotifyIconMessage message, const NotifyIconData& data) = 0;
    // False when the desktop shows no notification area, so an icon would never be seen.
    virtual bool IsAvailable() const = 0;

    // The pointer's screen position and the modifier keys held, read as a mouse message is handled.
    virtual QPoint CursorPos() const = 0;
    virtual Qt::KeyboardModifiers KeyboardModifiers() const = 0;
};

} // namespace parlino
