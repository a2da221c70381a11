#pragma once

#include "settings/FourNumbers.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace parlino {

// A window's title bar runs along its top and is taken as this high ...
inline constexpr int kTitleBarHeight = 24;
// ... and this much of its width must be on a screen for the user to take hold of it.
inline constexpr int kTitleBarGrip = 32;

// Left, top, right and bottom of a rectangle at topLeft of that size.
FourNumbers FourNumbersOf(QPoint topLeft, QSize size);

// The rectangle that left, top, right and bottom give, with numbers beyond any desktop brought within reach; nullopt
// when it has no width or no height.
std::optional<QRect> RectOf(const FourNumbers& numbers);

// Where a window goes on screens of these work areas, window being its frame's rectangle. A window larger than the
// desktop, or whose title bar no screen shows (its monitor unplugged, a smaller screen), is moved, and if need be cut,
// into the work area nearest its title bar; any other is left where it is.
QRect KeepOnScreens(QRect window, const QList<QRect>& workAreas);

} // namespace parlino
