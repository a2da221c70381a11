#include "platform/qt/FlashWindow.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QWidget>
#include <QWindow>

namespace parlino {
namespace {

constexpr auto kFrameName = "FlashFrame";
constexpr int kFrameWidth = 4;

// A border in the highlight colour over the window's edge. It lies above the window's children, which
// cover the window's own background, and lets the mouse through to them.
class FlashFrame final : public QWidget
{
public:
    explicit FlashFrame(QWidget* window) : QWidget(window)
    {
        setObjectName(QLatin1String(kFrameName));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(window->rect());
        window->installEventFilter(this);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QColor color = palette().color(QPalette::Highlight);
        const QRect inner = rect().adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth);
        painter.setClipRegion(QRegion(rect()) - QRegion(inner));
        painter.fillRect(rect(), color);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        return false;
    }
};

QWidget* FrameOf(const QWidget* window)
{
    return window->findChild<QWidget*>(QLatin1String(kFrameName), Qt::FindDirectChildrenOnly);
}

void WithdrawAttention(QWidget* window)
{
    // QWindow offers no public call that ends an alert before its time; this is the slot its own timer runs.
    if (QWindow* handle = window->windowHandle())
        QMetaObject::invokeMethod(handle, "_q_clearAlert");
}

} // namespace

void FlashWindow(QWidget* window, bool invert)
{
    if (!invert) {
        if (QWidget* frame = FrameOf(window))
            frame->hide();
        WithdrawAttention(window);
        return;
    }
    QWidget* frame = FrameOf(window);
    if (!frame)
        frame = new FlashFrame(window);
    frame->setVisible(!frame->isVisibleTo(window));
    frame->raise();
    // Until the window is activated; the desktop ignores the request while it is active.
    QApplication::alert(window, 0);
}

bool FlashInverted(const QWidget* window)
{
    const QWidget* frame = FrameOf(window);
    return frame && frame->isVisibleTo(window);
}

} // namespace parlino
