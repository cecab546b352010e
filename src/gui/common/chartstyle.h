#pragma once

class QChart;
class QPalette;
class QColor;

namespace mdk::charts {

// Dresses a chart in a palette's colours, light or dark: the chart theme
// that matches it, the window's ground behind the chart and its plot area
// (and in the views that show it), titles, axis labels and legend in the
// window's text colour, axis lines and grid between ground and text, and
// every bar set's and line's colour made to read 3:1 on the ground. Call it
// after the axes and series are in place (again after each refill, and when
// the palette changes): it styles what the chart holds at the time. The
// series keep their own hues across a change of theme.
void style(QChart &chart, const QPalette &palette);

// True for a palette whose ground is darker than its text.
bool isDark(const QPalette &palette);

} // namespace mdk::charts
