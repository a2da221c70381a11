#include "tray/RxTrayIcon.h"

#include "platform/Component.h"
#include "tray/TimerThread.h"

#include <QWidget>

#include <algorithm>
#include <exception>
#include <iterator>

namespace parlino {
namespace {

QString TipOf(const QString& hint)
{
    QString tip = hint.left(hint.indexOf(u'|'));
    if (tip.size() > kNotifyTipMaxChars) {
        // Never keep half of a character that takes two UTF-16 units.
        const qsizetype cut =
            tip.at(kNotifyTipMaxChars - 1).isHighSurrogate() ? kNotifyTipMaxChars - 1 : kNotifyTipMaxChars;
        tip.truncate(cut);
    }
    return tip;
}

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers)
{
    TShiftState shift;
    shift.setFlag(ssShift, modifiers.testFlag(Qt::ShiftModifier));
    shift.setFlag(ssCtrl, modifiers.testFlag(Qt::ControlModifier));
    shift.setFlag(ssAlt, modifiers.testFlag(Qt::AltModifier));
    return shift;
}

} // namespace

TRxTrayIcon::TRxTrayIcon(QObject* owner, NotifyArea& notifyArea, Clock& clock, MessageBoxes& messageBoxes)
    : TComponent(owner), notifyArea_(notifyArea), clock_(clock), messageBoxes_(messageBoxes)
{
    // Removing an icon names it by receiver and id, even before anything was filled in.
    notifyData_.window = this;
    icons_.OnChange = [this] { UpdateIcon(); };
}

TRxTrayIcon::~TRxTrayIcon()
{
    destroying_ = true;
    enabled_ = false;
    icons_.OnChange = nullptr;
    SetAnimated(false);
    RemoveIcon();
}

void TRxTrayIcon::SetActive(bool value)
{
    if (!Change(active_, value) || Loading())
        return;
    if (active_)
        AddIcon();
    else
        RemoveIcon();
}

void TRxTrayIcon::SetHint(const QString& value)
{
    if (Change(hint_, value))
        UpdateIcon();
}

void TRxTrayIcon::SetIcon(const QIcon& value)
{
    icon_ = value;
    UpdateIcon();
}

void TRxTrayIcon::SetInterval(quint16 value)
{
    if (Change(interval_, value) && thread_)
        thread_->SetInterval(value);
}

void TRxTrayIcon::SetAnimated(bool value)
{
    const bool animated = value && icons_.Count() > 0;
    if (animated == animated_)
        return;
    animated_ = animated;
    if (animated_) {
        thread_ = new TTimerThread(this, clock_, interval_, !added_);
    } else {
        // Never waits: the thread forgets this icon at once and ends on its own.
        thread_->Stop();
        thread_ = nullptr;
    }
    frameIndex_ = 0;
    UpdateIcon();
}

void TRxTrayIcon::Loaded()
{
    if (active_)
        AddIcon();
}

QIcon TRxTrayIcon::CurrentIcon() const
{
    if (icons_.Count() > 0 && animated_)
        return icons_.Icons(std::clamp(frameIndex_, 0, icons_.Count() - 1));
    return icon_;
}

void TRxTrayIcon::FillNotifyData()
{
    notifyData_ = NotifyIconData{};
    notifyData_.size = kNotifyIconDataSize;
    notifyData_.window = this;
    notifyData_.iconId = 0;
    notifyData_.flags = kNifMessage | kNifIcon | kNifTip;
    notifyData_.callbackMessage = kCallbackMessage;
    notifyData_.icon = CurrentIcon();
    notifyData_.tip = TipOf(hint_);
}

void TRxTrayIcon::AddIcon()
{
    RemoveIcon();
    if (CurrentIcon().isNull())
        return;
    pressed_ = 0;
    FillNotifyData();
    added_ = notifyArea_.NotifyIcon(NotifyIconMessage::Add, notifyData_);
    if (!added_)
        return;
    // Some notification areas show no tip for an icon added without one until it is changed once.
    if (notifyData_.tip.isEmpty())
        notifyArea_.NotifyIcon(NotifyIconMessage::Modify, notifyData_);
    if (animated_)
        thread_->Continue();
}

void TRxTrayIcon::RemoveIcon()
{
    notifyArea_.NotifyIcon(NotifyIconMessage::Delete, notifyData_);
    added_ = false;
    pressed_ = 0;
    if (animated_)
        thread_->Pause();
}

void TRxTrayIcon::UpdateIcon()
{
    if (animated_ && icons_.Count() == 0) {
        SetAnimated(false); // updates the icon itself
        return;
    }
    if (added_) {
        if (CurrentIcon().isNull()) {
            RemoveIcon();
        } else {
            FillNotifyData();
            notifyArea_.NotifyIcon(NotifyIconMessage::Modify, notifyData_);
        }
    } else if (active_ && !Loading()) {
        AddIcon();
    }
}

void TRxTrayIcon::NextFrame()
{
    if (destroying_ || !animated_)
        return;
    ++frameIndex_;
    if (frameIndex_ >= icons_.Count())
        frameIndex_ = 0;
    UpdateIcon();
}

void TRxTrayIcon::NotifyMessage(uint32_t message, uint32_t /*iconId*/, uint32_t mouseMessage)
{
    if (message != kCallbackMessage || !enabled_)
        return;
    // The handler may destroy the owner, and this icon with it: the box needs neither.
    MessageBoxes& boxes = messageBoxes_;
    const QPointer<QWidget> owner = qobject_cast<QWidget*>(parent());
    try {
        HandleMouse(mouseMessage);
    } catch (const std::exception& error) {
        boxes.ReportError(owner, error);
    }
}

void TRxTrayIcon::HandleMouse(uint32_t mouseMessage)
{
    const QPoint pos = notifyArea_.CursorPos();
    const int x = pos.x();
    const int y = pos.y();
    const TShiftState shift = ShiftOf(notifyArea_.KeyboardModifiers());
    if (mouseMessage == kWmMouseMove) {
        MouseMove(shift, x, y);
        return;
    }
    // The button messages come in threes (down, up, double click) for the left, the right and the middle button.
    // The middle button has no click: no bit keeps it pressed.
    struct Button
    {
        TMouseButton button;
        int pressedBit;
        TShiftStateFlag flag;
    };
    static constexpr Button kButtons[] = {{TMouseButton::mbLeft, kPressedLeft, ssLeft},
                                          {TMouseButton::mbRight, kPressedRight, ssRight},
                                          {TMouseButton::mbMiddle, 0, ssMiddle}};
    enum Action : uint32_t { kDown, kUp, kDoubleClick, kActionsPerButton };
    const uint32_t index = mouseMessage - kWmLButtonDown;
    if (index >= kActionsPerButton * std::size(kButtons))
        return;
    const Button& button = kButtons[index / kActionsPerButton];
    // A handler may destroy the icon's owner, and with it this icon.
    const QPointer<TRxTrayIcon> alive(this);
    switch (index % kActionsPerButton) {
    case kDown:
        MouseDown(button.button, shift | button.flag, x, y);
        if (alive)
            pressed_ |= button.pressedBit;
        break;
    case kUp:
        if (pressed_ & button.pressedBit) {
            pressed_ &= ~button.pressedBit;
            Click(button.button, shift | button.flag, x, y);
        }
        if (alive)
            MouseUp(button.button, shift | button.flag, x, y);
        break;
    case kDoubleClick:
        if (button.button == TMouseButton::mbLeft)
            DblClick();
        if (alive)
            MouseDown(button.button, shift | ssDouble, x, y);
        break;
    }
}

void TRxTrayIcon::Click(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == TMouseButton::mbRight && ShowMenu(x, y))
        return;
    Raise(OnClick, this, button, shift, x, y);
}

void TRxTrayIcon::DblClick()
{
    if (!RunDefaultItem())
        Raise(OnDblClick, this);
}

void TRxTrayIcon::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    Raise(OnMouseDown, this, button, shift, x, y);
}

void TRxTrayIcon::MouseMove(TShiftState shift, int x, int y)
{
    Raise(OnMouseMove, this, shift, x, y);
}

void TRxTrayIcon::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    Raise(OnMouseUp, this, button, shift, x, y);
}

bool TRxTrayIcon::ShowMenu(int x, int y)
{
    if (!active_ || !popupMenu_ || !popupMenu_->AutoPopup())
        return false;
    popupMenu_->SetPopupComponent(this);
    // A widget still holding the mouse (a drag in progress) would keep the menu from taking it.
    if (!destroying_)
        if (QWidget* grabber = QWidget::mouseGrabber())
            grabber->releaseMouse();
    // The menu opens once the mouse message is handled and the release has gone through the event loop,
    // never inside the handler; it is not opened at all when it is destroyed first. Qt's popup grabs the
    // pointer itself, so it closes on a click elsewhere without further help.
    TPopupMenu* menu = popupMenu_;
    QMetaObject::invokeMethod(
        menu, [menu, at = QPoint(x, y)] { menu->popup(at); }, Qt::QueuedConnection);
    return true;
}

bool TRxTrayIcon::RunDefaultItem()
{
    if (!active_ || !popupMenu_)
        return false;
    QAction* item = popupMenu_->defaultAction();
    if (!item || !item->isEnabled() || !popupMenu_->actions().contains(item))
        return false;
    item->trigger();
    return true;
}

} // namespace parlino
