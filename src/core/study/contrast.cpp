#include "contrast.h"

#include <algorithm>
#include <cmath>

namespace mdk::contrast {

namespace {
constexpr Rgb kBlack = 0x000000;
constexpr Rgb kWhite = 0xffffff;

double channel(Rgb c, int shift)
{
    const double v = double((c >> shift) & 0xff) / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double luminance(Rgb c)
{
    return 0.2126 * channel(c, 16) + 0.7152 * channel(c, 8) + 0.0722 * channel(c, 0);
}
} // namespace

double ratio(Rgb a, Rgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Colours readable(Colours palette, double minimum)
{
    if (ratio(palette.ground, palette.ink) >= minimum)
        return palette;
    const Rgb ink = ratio(palette.ground, kBlack) >= ratio(palette.ground, kWhite) ? kBlack : kWhite;
    if (ratio(palette.ground, ink) >= minimum)
        return {palette.ground, ink};
    return {kWhite, kBlack};
}

Rgb reaching(Rgb colour, Rgb ground, double minimum)
{
    colour &= kWhite;
    const Rgb end = ratio(ground, kBlack) >= ratio(ground, kWhite) ? kBlack : kWhite;
    const auto mix = [&](int shift, int step) {
        const int a = int((colour >> shift) & 0xff), b = int((end >> shift) & 0xff);
        return Rgb(a + (b - a) * step / 256) << shift;
    };
    for (int step = 0; step < 256; ++step) {
        const Rgb c = mix(16, step) | mix(8, step) | mix(0, step);
        if (ratio(c, ground) >= minimum)
            return c;
    }
    return end;
}

} // namespace mdk::contrast
