#pragma once

#include "platform/Clock.h"
#include "platform/Component.h"
#include "platform/MessageBoxes.h"
#include "platform/qt/NotifyArea.h"
#include "tray/IconList.h"
#include "tray/MouseEvents.h"
#include "tray/PopupMenu.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>

namespace parlino {

class TTimerThread;

// One icon in the desktop's notification area: its picture and tip, an animation through a list of
// pictures, and mouse actions on it turned into events and a popup menu. Main thread only. Between
// BeginLoading and EndLoading it is only configured: the icon appears once, when loading ends.
class TRxTrayIcon : public TComponent, private NotifyReceiver
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(QIcon Icon READ Icon WRITE SetIcon)
    Q_PROPERTY(bool Animated READ Animated WRITE SetAnimated)
    Q_PROPERTY(quint16 Interval READ Interval WRITE SetInterval)
    Q_PROPERTY(parlino::TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool ShowDesign READ ShowDesign WRITE SetShowDesign STORED false)

public:
    static constexpr uint32_t kCallbackMessage = 0xB054;

    // The clock times the animation's steps; an error escaping an event handler is shown in an error box.
    TRxTrayIcon(QObject* owner, NotifyArea& notifyArea, Clock& clock, MessageBoxes& messageBoxes);
    ~TRxTrayIcon() override;
    Q_DISABLE_COPY_MOVE(TRxTrayIcon)

    bool Active() const { return active_; }
    void SetActive(bool value);
    // Off: mouse actions on the icon are ignored.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }
    // The tip is the text before the first "|".
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& value);
    const QIcon& Icon() const { return icon_; }
    void SetIcon(const QIcon& value);
    TIconList& Icons() { return icons_; }
    void SetIcons(const TIconList& value) { icons_.Assign(value); }
    bool Animated() const { return animated_; }
    void SetAnimated(bool value);
    // Milliseconds between two pictures of the animation.
    quint16 Interval() const { return interval_; }
    void SetInterval(quint16 value);
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* value) { popupMenu_ = value; }
    // There is no form designer to show the icon in, so this is only kept.
    bool ShowDesign() const { return showDesign_; }
    void SetShowDesign(bool value) { showDesign_ = value; }

    // Whether the icon is in the notification area now: only then can a window hidden into it come back.
    bool IsAdded() const { return added_; }

    bool ShowMenu(int x, int y);
    bool RunDefaultItem();

    TMouseEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

protected:
    void Loaded() override;
    virtual void FillNotifyData();
    virtual void DblClick();
    virtual void Click(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

    QIcon CurrentIcon() const;
    void AddIcon();
    void RemoveIcon();
    void UpdateIcon();

private:
    friend class TTimerThread;

    enum PressedButton { kPressedLeft = 1, kPressedRight = 2 };

    void NotifyMessage(uint32_t message, uint32_t iconId, uint32_t mouseMessage) override;
    void HandleMouse(uint32_t mouseMessage);
    void NextFrame();

    NotifyArea& notifyArea_;
    Clock& clock_;
    MessageBoxes& messageBoxes_;
    bool destroying_ = false;
    bool active_ = true;
    bool added_ = false;
    bool animated_ = false;
    bool enabled_ = true;
    int pressed_ = 0;
    int32_t frameIndex_ = -1;
    quint16 interval_ = 150;
    NotifyIconData notifyData_;
    QIcon icon_;
    TIconList icons_;
    TTimerThread* thread_ = nullptr;
    QString hint_;
    bool showDesign_ = false;
    QPointer<TPopupMenu> popupMenu_;
};

} // namespace parlino
