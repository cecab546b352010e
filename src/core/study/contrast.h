#pragma once

#include <QtGlobal>

namespace mdk::contrast {

// Colours as 0xRRGGBB; any bits above them are ignored.
using Rgb = quint32;

// The contrast ratio of two colours by their relative luminance, from 1
// (the same) to 21 (black and white); the same either way round.
double ratio(Rgb a, Rgb b);

// The least ratio a card's text keeps on its ground.
inline constexpr double kCardMinimum = 7.0;

struct Colours {
    Rgb ground, ink;
};
// The palette's card colours when they reach minimum; otherwise the same
// ground with black or white ink, whichever reads better, and when neither
// reaches it (a middle grey ground) a white card with black ink.
Colours readable(Colours palette, double minimum = kCardMinimum);

// The least a control's outline or a chart's mark keeps on its ground.
inline constexpr double kGraphicMinimum = 3.0;

// The colour itself when it reaches minimum on ground; otherwise the least
// mix of it towards black or white (whichever reads better on ground) that
// reaches it, so the hue stays as far as it can.
Rgb reaching(Rgb colour, Rgb ground, double minimum = kGraphicMinimum);

} // namespace mdk::contrast
