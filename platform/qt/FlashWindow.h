#pragma once

class QWidget;

namespace parlino {

// Toggles a window between its normal look and a highlighted border drawn over its edge, and asks the
// desktop for the user's attention until the window is activated; invert = false puts the window back to
// normal and withdraws the request.
void FlashWindow(QWidget* window, bool invert);
// Whether the window shows its highlighted border now.
bool FlashInverted(const QWidget* window);

} // namespace parlino
