#pragma once

#include <QMenu>
#include <QPointer>

namespace parlino {

// A context menu that a component pops up itself; it remembers which component did so last,
// so its item handlers can tell where they were invoked from.
class TPopupMenu final : public QMenu
{
    Q_OBJECT
    Q_PROPERTY(bool AutoPopup READ AutoPopup WRITE SetAutoPopup)

public:
    explicit TPopupMenu(QWidget* parent = nullptr) : QMenu(parent) {}

    // Off: components do not show the menu on a right click.
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }

    QObject* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(QObject* component) { popupComponent_ = component; }

private:
    bool autoPopup_ = true;
    QPointer<QObject> popupComponent_;
};

} // namespace parlino
