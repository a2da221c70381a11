#include "platform/qt/FlashWindow.h"

#include <QApplication>
#include <QWidget>

namespace parlino {
namespace {

constexpr auto kInvertedProperty = "parlinoFlashInverted";
// Longer than one flash period, so the urgency hint lasts while a window keeps flashing and lapses soon after.
constexpr int kAttentionMs = 1000;

} // namespace

void FlashWindow(QWidget* window, bool invert)
{
    const bool inverted = invert && !FlashInverted(window);
    window->setProperty(kInvertedProperty, inverted);
    window->setBackgroundRole(inverted ? QPalette::Highlight : QPalette::Window);
    if (inverted)
        QApplication::alert(window, kAttentionMs);
}

bool FlashInverted(const QWidget* window)
{
    return window->property(kInvertedProperty).toBool();
}

} // namespace parlino
