#include "settings/ScreenPlacement.h"

#include <algorithm>
#include <cstdint>

namespace parlino {
namespace {

// Beyond any desktop, and small enough that the width or height between two such numbers fits an int.
constexpr int kFar = 1 << 24;

int WithinReach(int64_t coordinate)
{
    return static_cast<int>(std::clamp<int64_t>(coordinate, -kFar, kFar));
}

QRect TitleBarOf(const QRect& window)
{
    return QRect(window.topLeft(), QSize(window.width(), kTitleBarHeight));
}

bool ShowsTitleBar(const QRect& area, const QRect& window)
{
    const QRect shown = TitleBarOf(window).intersected(area);
    return shown.height() == kTitleBarHeight && shown.width() >= std::min(kTitleBarGrip, window.width());
}

// Squared; 0 when they meet.
int64_t DistanceBetween(const QRect& a, const QRect& b)
{
    const int64_t dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const int64_t dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

// The least move that puts the window inside the area, after cutting what does not fit.
QRect MovedInto(QRect window, const QRect& area)
{
    window.setWidth(std::min(window.width(), area.width()));
    window.setHeight(std::min(window.height(), area.height()));
    window.moveLeft(std::max(area.left(), std::min(window.left(), area.right() + 1 - window.width())));
    window.moveTop(std::max(area.top(), std::min(window.top(), area.bottom() + 1 - window.height())));
    return window;
}

} // namespace

FourNumbers FourNumbersOf(QPoint topLeft, QSize size)
{
    return {WithinReach(topLeft.x()), WithinReach(topLeft.y()), WithinReach(int64_t{topLeft.x()} + size.width()),
            WithinReach(int64_t{topLeft.y()} + size.height())};
}

std::optional<QRect> RectOf(const FourNumbers& numbers)
{
    const int left = WithinReach(numbers[0]);
    const int top = WithinReach(numbers[1]);
    const int right = WithinReach(numbers[2]);
    const int bottom = WithinReach(numbers[3]);
    if (right <= left || bottom <= top)
        return std::nullopt;
    return QRect(left, top, right - left, bottom - top);
}

QRect KeepOnScreens(QRect window, const QList<QRect>& workAreas)
{
    if (workAreas.isEmpty())
        return window;
    QRect desktop;
    for (const QRect& area : workAreas)
        desktop |= area;
    const bool fits = window.width() <= desktop.width() && window.height() <= desktop.height();
    if (fits && std::any_of(workAreas.begin(), workAreas.end(),
                            [&window](const QRect& area) { return ShowsTitleBar(area, window); }))
        return window;
    const QRect titleBar = TitleBarOf(window);
    const auto nearest =
        std::min_element(workAreas.begin(), workAreas.end(), [&titleBar](const QRect& a, const QRect& b) {
            return DistanceBetween(titleBar, a) < DistanceBetween(titleBar, b);
        });
    return MovedInto(window, *nearest);
}

} // namespace parlino
