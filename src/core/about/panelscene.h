#pragma once

#include <QPoint>
#include <QRect>

#include <array>

// The About window's turning scene without a screen: 18 vertical panels that
// outline three glyphs, turned about their vertical axis, projected through a
// fixed focal length, ordered farthest first and darkened with depth. The
// window only paints what sceneFrame() returns.
namespace mdk::about {

// Pi in single precision: the angle is a float and must wrap exactly where a
// float accumulator reaches it.
inline constexpr float kPi = 3.1415927f;
inline constexpr int kPanelCount = 18;
inline constexpr int kFocal = 600;
// Depths at or below this project as if they were one unit further than it.
inline constexpr int kNearDepth = 15;
inline constexpr QPoint kVanishingPoint{130, 60};
// The part of the picture the scene is drawn in and the only part a tick
// repaints (left 10, top 54, right edge 268, bottom edge 172).
inline constexpr QRect kViewArea{10, 54, 258, 118};
// The drawn points are shifted by this from the projected ones.
inline constexpr QPoint kPlotOffset{10, 40};

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb &) const = default;
};

inline constexpr Rgb kPanelFill{77, 191, 163};
inline constexpr Rgb kPanelBorder{55, 173, 213};

// One quadrilateral. Before the transform x, y, z are model coordinates;
// after it x, y are image coordinates and z the view-space depth.
struct Panel {
    std::array<float, 4> x{}, y{}, z{};
    int nearDepth = 0; // smallest view-space z, truncated towards zero
    int farDepth = 0;  // largest view-space z, truncated towards zero
    Rgb fill, border;
    bool fade = false;
};

// The viewer: offsets added to model coordinates, yaw (about the vertical
// axis) and pitch (about the x axis), in radians.
struct Viewer {
    float x = 0, y = 30, z = 215;
    float yaw = 0, pitch = 0;
};

// One timer tick: the angle grows by pi/180 (computed in extended precision,
// stored as a float) and restarts at 0 once it reaches 2 pi. Because of the
// float rounding a full turn takes 361 ticks, not 360.
float nextAngle(float angle);

// The model: three glyphs of 7, 4 and 7 strokes, each stroke a panel from
// depth -5 to +5, with the panel colours and fading on.
std::array<Panel, kPanelCount> modelPanels();

// Model space to view space for every vertex, rounding each step to float.
void toViewSpace(Panel &panel, const Viewer &viewer);
// Perspective projection of one view-space point onto the vanishing point.
QPointF project(float x, float y, float z, QPoint vanishingPoint = kVanishingPoint);
// Sets nearDepth and farDepth from the four depths.
void setDepthRange(Panel &panel);
// Painter's order: descending nearest depth, ties by descending farthest
// depth, equal panels keep their order.
void orderFarthestFirst(std::array<Panel, kPanelCount> &panels);
// The colour darkened for a panel's mean depth (keeps about 1 - c/2000 of
// its brightness, c the mean depth less 125 within 1..800).
Rgb fadeColour(Rgb colour, int nearDepth, int farDepth);

struct DrawnPanel {
    std::array<QPoint, 4> points; // window pixels
    Rgb fill, border;             // already faded
};

// The whole frame at a yaw angle, in drawing order (farthest first).
std::array<DrawnPanel, kPanelCount> sceneFrame(float angle);

} // namespace mdk::about
