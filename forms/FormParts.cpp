#include "forms/FormParts.h"

#include "forms/AccessibleRole.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

namespace parlino {

QFont DesignFont(int pixels)
{
    QFont font(QString::fromLatin1(kDesignFontName));
    font.setPixelSize(pixels);
    return font;
}

QToolButton* NewToolButton(QWidget* toolBar, const char* name, const QString& caption, const QIcon& glyph)
{
    auto* button = new QToolButton(toolBar);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setIcon(glyph);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    return button;
}

void PrepareToolButtonPictures(const QWidget& form)
{
    // The style draws a button's picture in its enabled or disabled mode, the other modes only under the pointer.
    for (const QToolButton* button : form.findChildren<QToolButton*>()) {
        const QIcon::Mode mode = button->isEnabled() ? QIcon::Normal : QIcon::Disabled;
        static_cast<void>(button->icon().pixmap(button->iconSize(), mode));
    }
}

QFrame* NewToolBar(QWidget* parent, const char* name)
{
    auto* toolBar = new QFrame(parent);
    toolBar->setObjectName(QLatin1String(name));
    toolBar->setFrameStyle(QFrame::Panel | QFrame::Raised);
    SetAccessibleRole(toolBar, QAccessible::ToolBar);
    return toolBar;
}

QFrame* NewSeparator(QWidget* toolBar, const char* name)
{
    auto* separator = new QFrame(toolBar);
    separator->setObjectName(QLatin1String(name));
    SetAccessibleRole(separator, QAccessible::Separator);
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    return separator;
}

QAction* NewMenuItem(QMenu* menu, const char* name, const QString& caption, const QObject* receiver,
                     std::function<void()> onClick)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    if (onClick)
        QObject::connect(item, &QAction::triggered, receiver, std::move(onClick));
    return item;
}

namespace {

class ActivationWatch final : public QObject
{
public:
    ActivationWatch(QWidget* form, std::function<void()> onActivate) : QObject(form), onActivate_(std::move(onActivate))
    {
        form->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent() && event->type() == QEvent::WindowActivate)
            onActivate_();
        return false;
    }

private:
    std::function<void()> onActivate_;
};

// A first frame takes a few milliseconds; a window still unexposed after this is not coming to the screen yet.
constexpr auto kFirstFrameWait = std::chrono::milliseconds(250);

class FirstFrameWatch final : public QObject
{
public:
    FirstFrameWatch(QWidget* form, std::function<void()> then) : QObject(form), then_(std::move(then))
    {
        form->windowHandle()->installEventFilter(this);
        QTimer::singleShot(kFirstFrameWait, this, [this] { Run(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The window paints on its expose; what waits for the frame is queued behind it.
        if (event->type() == QEvent::Expose) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this, [this] { Run(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void Run()
    {
        if (!then_)
            return;
        std::exchange(then_, nullptr)();
        deleteLater();
    }

    std::function<void()> then_;
};

} // namespace

void AfterFirstFrame(QWidget* form, std::function<void()> then)
{
    new FirstFrameWatch(form, std::move(then));
}

void OnActivation(QWidget* form, std::function<void()> onActivate)
{
    new ActivationWatch(form, std::move(onActivate));
}

} // namespace parlino
