#include "app/Placement.h"

#include <algorithm>

namespace {

// A length shrunk to the room there is, but not below the minimum while the room allows it.
int Fit(int wanted, int minimum, int room)
{
    return std::max(std::min(wanted, room), std::min(std::max(minimum, 0), room));
}

}  // namespace

QRect FitWindowRect(const QRect& wanted, QSize minimum, const QRect& area)
{
    if (area.isEmpty())
        return wanted;
    const int w = Fit(wanted.width(), minimum.width(), area.width());
    const int h = Fit(wanted.height(), minimum.height(), area.height());
    const int x = std::clamp(wanted.x(), area.left(), area.left() + area.width() - w);
    const int y = std::clamp(wanted.y(), area.top(), area.top() + area.height() - h);
    return QRect(x, y, w, h);
}

QRect CentredWindowRect(QSize size, QSize minimum, const QRect& area)
{
    if (area.isEmpty())
        return QRect(QPoint(0, 0), size);
    const int w = Fit(size.width(), minimum.width(), area.width());
    const int h = Fit(size.height(), minimum.height(), area.height());
    return QRect(area.left() + (area.width() - w) / 2, area.top() + (area.height() - h) / 2, w, h);
}
