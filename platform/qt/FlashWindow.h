#pragma once

class QWidget;

namespace parlino {

// Toggles a window between its normal and its highlighted look and asks the desktop for attention while
// highlighted; invert = false puts the window back to normal.
void FlashWindow(QWidget* window, bool invert);
// Whether the window shows its highlighted look now.
bool FlashInverted(const QWidget* window);

} // namespace parlino
