#include "core/about/panelscene.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace mdk::about {

namespace {

struct Segment {
    int xa, ya, xb, yb;
};

// Straight strokes with bevelled corners; y grows downwards on screen, so
// -42 is the top of each glyph. Left (x -42..-17): an M with a short stem
// under its middle point; middle (x -12..12): an A with a flat top; right
// (x 17..42): a G.
constexpr std::array<Segment, kPanelCount> kOutline{{
    {-42, -17, -42, -39}, {-42, -39, -39, -42}, {-39, -42, -30, -32},
    {-30, -32, -20, -42}, {-20, -42, -17, -39}, {-17, -39, -17, -17},
    {-30, -32, -30, -27},
    {-12, -17, -2, -42}, {-2, -42, 2, -42}, {2, -42, 12, -17},
    {-8, -27, 8, -27},
    {42, -42, 20, -42}, {20, -42, 17, -39}, {17, -39, 17, -20},
    {17, -20, 20, -17}, {20, -17, 42, -17}, {42, -17, 42, -29},
    {42, -29, 31, -29},
}};

} // namespace

float nextAngle(float angle)
{
    // The step is pi times 1/180 in extended precision; only the sum is
    // rounded to float, as the accumulator is a float.
    const long double step = static_cast<long double>(kPi) * (1.0L / 180.0L);
    float next = static_cast<float>(static_cast<long double>(angle) + step);
    if (next >= 2 * kPi)
        next = 0;
    return next;
}

std::array<Panel, kPanelCount> modelPanels()
{
    std::array<Panel, kPanelCount> panels;
    for (int i = 0; i < kPanelCount; ++i) {
        const Segment &s = kOutline[i];
        Panel &p = panels[i];
        p.x = {float(s.xa), float(s.xa), float(s.xb), float(s.xb)};
        p.y = {float(s.ya), float(s.ya), float(s.yb), float(s.yb)};
        p.z = {-5, 5, 5, -5};
        p.fill = kPanelFill;
        p.border = kPanelBorder;
        p.fade = true;
    }
    return panels;
}

void toViewSpace(Panel &panel, const Viewer &v)
{
    const double sina = std::sin(double(v.yaw)), cosa = std::cos(double(v.yaw));
    const double sinu = std::sin(double(v.pitch)), cosu = std::cos(double(v.pitch));
    for (int i = 0; i < 4; ++i) {
        const float x1 = panel.x[i] + v.x;
        const float z = panel.z[i];
        const float z2 = float(z * cosa - x1 * sina);
        const float x2 = float(z * sina + x1 * cosa);
        const float y2 = panel.y[i] + v.y;
        const float z3 = float(y2 * sinu + z2 * cosu);
        const float y3 = float(y2 * cosu - z2 * sinu);
        panel.x[i] = x2;
        panel.y[i] = y3;
        panel.z[i] = v.z + z3;
    }
}

QPointF project(float x, float y, float z, QPoint van)
{
    const float d = z > float(kNearDepth) ? z : float(kNearDepth + 1);
    const float px = float(van.x()) + float(kFocal) * x / d;
    const float py = float(van.y()) + float(kFocal) * y / d;
    return {px, py};
}

void setDepthRange(Panel &panel)
{
    const auto [lo, hi] = std::minmax_element(panel.z.begin(), panel.z.end());
    panel.nearDepth = int(*lo);
    panel.farDepth = int(*hi);
}

void orderFarthestFirst(std::array<Panel, kPanelCount> &panels)
{
    // A bubble sort on 18 panels: swaps only on a strict difference, so
    // equal panels keep the model's order.
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (int i = 0; i + 1 < kPanelCount; ++i) {
            const Panel &a = panels[i], &b = panels[i + 1];
            if (a.nearDepth < b.nearDepth
                || (a.nearDepth == b.nearDepth && a.farDepth < b.farDepth)) {
                std::swap(panels[i], panels[i + 1]);
                swapped = true;
            }
        }
    }
}

Rgb fadeColour(Rgb colour, int nearDepth, int farDepth)
{
    const int mean = (nearDepth + farDepth) / 2;
    // 12 * 1200 / 393120: a small constant offset added to every depth.
    const double c = std::clamp(mean - 125, 1, 800) + 12.0 * 1200.0 / 393120.0;
    const auto one = [c](int v) {
        const double faded = v - (v * c) * 0.0005;
        return faded < 0 ? 0 : int(faded);
    };
    return {one(colour.r), one(colour.g), one(colour.b)};
}

std::array<DrawnPanel, kPanelCount> sceneFrame(float angle)
{
    Viewer viewer;
    viewer.yaw = angle;
    std::array<Panel, kPanelCount> panels = modelPanels();
    for (Panel &p : panels) {
        toViewSpace(p, viewer);
        for (int i = 0; i < 4; ++i) {
            const QPointF q = project(p.x[i], p.y[i], p.z[i]);
            p.x[i] = float(q.x());
            p.y[i] = float(q.y());
        }
        setDepthRange(p);
    }
    orderFarthestFirst(panels);

    std::array<DrawnPanel, kPanelCount> frame;
    for (int k = 0; k < kPanelCount; ++k) {
        const Panel &p = panels[k];
        DrawnPanel &d = frame[k];
        for (int i = 0; i < 4; ++i)
            d.points[i] = QPoint(int(p.x[i] + float(kPlotOffset.x())),
                                 int(p.y[i] + float(kPlotOffset.y())));
        d.fill = p.fade ? fadeColour(p.fill, p.nearDepth, p.farDepth) : p.fill;
        d.border = p.fade ? fadeColour(p.border, p.nearDepth, p.farDepth) : p.border;
    }
    return frame;
}

} // namespace mdk::about
