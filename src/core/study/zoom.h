#pragma once

#include <QString>

// The card text's zoom, in percent of the card font: the steps Ctrl+Plus
// and Ctrl+Minus move through, the limits, and the status-line text.
namespace mdk::zoom {

inline constexpr int kNormal = 100;
inline constexpr int kMin = 50;
inline constexpr int kMax = 400;

// The next step up or down from percent (a value between the steps moves to
// the nearest one in that direction), held within kMin..kMax.
int larger(int percent);
int smaller(int percent);
// A stored or typed value brought within kMin..kMax.
int bounded(int percent);
// "Zoom 125%".
QString statusText(int percent);

} // namespace mdk::zoom
