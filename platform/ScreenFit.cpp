#include "platform/ScreenFit.h"

#include <algorithm>

namespace platform {

namespace {

qint64 overlapArea(const QRect& a, const QRect& b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

// The start of a span of `length` moved the least distance into [lo, lo + room).
int fitSpan(int start, int length, int lo, int room)
{
    return std::clamp(start, lo, lo + room - length);
}

} // namespace

QRect FitOnScreens(const QRect& window, const QList<QRect>& available)
{
    if (window.width() <= 0 || window.height() <= 0)
        return window;

    const QRect* target = nullptr;
    qint64 best = 0;
    for (const QRect& area : available) {
        if (area.isEmpty())
            continue;
        if (!target)
            target = &area; // the first usable screen: the primary one
        const qint64 overlap = overlapArea(window, area);
        if (overlap > best) {
            best = overlap;
            target = &area;
        }
    }
    if (!target)
        return window;

    const int width = std::min(window.width(), target->width());
    const int height = std::min(window.height(), target->height());
    return QRect(fitSpan(window.x(), width, target->x(), target->width()),
                 fitSpan(window.y(), height, target->y(), target->height()), width, height);
}

} // namespace platform
