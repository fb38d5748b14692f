#include "ui/WindowPlacement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace WindowPlacement {

QPoint centred(const QRect &area, QSize window)
{
    return {area.x() + (area.width() - window.width()) / 2, area.y() + (area.height() - window.height()) / 2};
}

namespace {

std::int64_t overlap(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : std::int64_t(common.width()) * common.height();
}

// Squared distance from a point to the nearest point of a rectangle (0 inside it).
std::int64_t distance(const QPoint &p, const QRect &r)
{
    const std::int64_t dx = p.x() < r.left() ? r.left() - p.x() : p.x() > r.right() ? p.x() - r.right() : 0;
    const std::int64_t dy = p.y() < r.top() ? r.top() - p.y() : p.y() > r.bottom() ? p.y() - r.bottom() : 0;
    return dx * dx + dy * dy;
}

int clampInto(int start, int length, int areaStart, int areaLength)
{
    // Too big for the area: its start (where the title strip is) stays on it.
    if (length >= areaLength)
        return areaStart;
    return std::clamp(start, areaStart, areaStart + areaLength - length);
}

} // namespace

QPoint reachable(QPoint position, QSize window, const QRect &titleStrip, const QList<QRect> &screens)
{
    const QRect strip = titleStrip.translated(position);
    for (const QRect &screen : screens) {
        if (screen.contains(strip))
            return position;
    }
    if (screens.isEmpty())
        return position;

    // The screen that shows most of the window; when none shows any, the one closest to its centre.
    const QRect frame(position, window);
    const QRect *nearest = nullptr;
    std::int64_t bestOverlap = 0;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (const QRect &screen : screens) {
        const std::int64_t shared = overlap(frame, screen);
        const std::int64_t away = distance(frame.center(), screen);
        if (shared > bestOverlap || (bestOverlap == 0 && shared == 0 && away < bestDistance)) {
            nearest = &screen;
            bestOverlap = shared;
            bestDistance = away;
        }
    }
    return {clampInto(position.x(), window.width(), nearest->x(), nearest->width()),
            clampInto(position.y(), window.height(), nearest->y(), nearest->height())};
}

} // namespace WindowPlacement
