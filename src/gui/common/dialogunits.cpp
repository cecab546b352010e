#include "dialogunits.h"

namespace mdk::dlu {

int toPixelsX(int x, BaseUnits base) { return x * base.x / 4; }
int toPixelsY(int y, BaseUnits base) { return y * base.y / 8; }

QRect toPixels(const QRect &r, BaseUnits base)
{
    // Both corners are converted, so that adjacent controls stay adjacent.
    const int left = toPixelsX(r.x(), base);
    const int top = toPixelsY(r.y(), base);
    return QRect(left, top, toPixelsX(r.x() + r.width(), base) - left,
                 toPixelsY(r.y() + r.height(), base) - top);
}

QSize toPixels(const QSize &s, BaseUnits base)
{
    return QSize(toPixelsX(s.width(), base), toPixelsY(s.height(), base));
}

QSize frameSize(const QSize &dialogPixels, int menuBarHeight)
{
    return QSize(dialogPixels.width(), dialogPixels.height() - 22 + menuBarHeight);
}

} // namespace mdk::dlu
