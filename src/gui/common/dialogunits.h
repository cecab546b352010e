#pragma once

#include <QRect>
#include <QSize>

namespace mdk::dlu {

// The dialog font's base units: average character width and height.
struct BaseUnits {
    int x = 6;
    int y = 13;
};

// Dialog units to pixels: x * baseX / 4, y * baseY / 8.
int toPixelsX(int x, BaseUnits base);
int toPixelsY(int y, BaseUnits base);
QRect toPixels(const QRect &dialogUnits, BaseUnits base);
QSize toPixels(const QSize &dialogUnits, BaseUnits base);

// The controls of the main dialog's template "MAINWINDOW", in dialog units.
namespace mainwindow {
inline constexpr QSize kSize{367, 231};
inline constexpr QRect kCategoriesTree{176, 4, 184, 47}; // id 5101
inline constexpr QRect kCardDisplay{23, 56, 299, 126};   // id 967
inline constexpr QRect kCardScrollBar{335, 56, 9, 126};  // id 667
} // namespace mainwindow

// The frame is as wide as the main dialog and as tall as the dialog less
// 22 pixels; the menu bar, which other desktops draw in the frame's border,
// sits inside our window and is added.
QSize frameSize(const QSize &dialogPixels, int menuBarHeight);

} // namespace mdk::dlu
