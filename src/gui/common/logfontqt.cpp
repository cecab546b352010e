#include "logfontqt.h"

#include <cstdlib>

namespace mdk {

namespace {
// Both use the 100 (thin) to 900 (black) scale; a record weight of 0
// means "the default weight", which is normal.
int qtWeightFromRecord(int weight)
{
    return weight <= 0 ? int(QFont::Normal) : qBound(1, weight, 1000);
}
} // namespace

QFont toQFont(const LogFont &lf)
{
    QFont font(lf.Typeface);
    // A negative height is the character height in pixels; a positive one the
    // cell height, which for our purposes is close enough to the same.
    const int px = std::abs(lf.Height);
    font.setPixelSize(px > 0 ? px : 13);
    font.setWeight(QFont::Weight(qtWeightFromRecord(lf.Weight)));
    font.setItalic(lf.Italic != 0);
    font.setUnderline(lf.Underline != 0);
    font.setStrikeOut(lf.StrikeOut != 0);
    return font;
}

LogFont fromQFont(const QFont &font, const LogFont &base)
{
    LogFont lf = base;
    lf.Typeface = font.family();
    if (font.pixelSize() > 0)
        lf.Height = -font.pixelSize();
    else
        lf.Height = -qRound(font.pointSizeF() * 96.0 / 72.0);
    lf.Weight = font.weight() == QFont::Normal ? 0 : int(font.weight());
    lf.Italic = font.italic() ? 1 : 0;
    lf.Underline = font.underline() ? 1 : 0;
    lf.StrikeOut = font.strikeOut() ? 1 : 0;
    return lf;
}

} // namespace mdk
