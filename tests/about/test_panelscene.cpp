#include "core/about/panelscene.h"

#include <QtTest>

#include <set>

using namespace mdk::about;

class TestPanelScene : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void facingTheViewerEveryPanelHasOneFillAndOneBorder();
    void aFullTurnTakes361Ticks();
    void farthestFirstWithStableTies();
    void everyFrameIsOrderedAndInsideTheViewArea();
    void projection();
};

namespace {

float angleAfter(int ticks)
{
    float a = 0;
    for (int i = 0; i < ticks; ++i)
        a = nextAngle(a);
    return a;
}

} // namespace

void TestPanelScene::facingTheViewerEveryPanelHasOneFillAndOneBorder()
{
    // Facing the viewer all panels lie at the same depths, so one fade.
    const auto frame = sceneFrame(0);
    for (const DrawnPanel &d : frame) {
        QCOMPARE(d.fill, frame[0].fill);
        QCOMPARE(d.border, frame[0].border);
    }
    QVERIFY(frame[0].fill != frame[0].border);
    // Faded, but only slightly at this distance (mean depth 215).
    QVERIFY(frame[0].fill.g < kPanelFill.g && frame[0].fill.g > kPanelFill.g * 93 / 100);
    QVERIFY(frame[0].border.b < kPanelBorder.b && frame[0].border.b > kPanelBorder.b * 93 / 100);

    // Turned a quarter, the glyphs stand at different depths: more than one fill.
    std::set<int> greens;
    for (const DrawnPanel &d : sceneFrame(angleAfter(60)))
        greens.insert(d.fill.g);
    QVERIFY(greens.size() > 1);
    // The fade is limited: nothing is darkened beyond a mean depth of 925.
    QCOMPARE(fadeColour(kPanelFill, 5000, 6000), fadeColour(kPanelFill, 920, 930));
}

void TestPanelScene::aFullTurnTakes361Ticks()
{
    float a = 0;
    int ticks = 0;
    do {
        const float before = a;
        a = nextAngle(a);
        ++ticks;
        if (a != 0)
            QVERIFY(a > before);
    } while (a != 0 && ticks < 1000);
    QCOMPARE(ticks, 361);
    QVERIFY(std::abs(angleAfter(180) - kPi) < 1e-5f);
}

void TestPanelScene::farthestFirstWithStableTies()
{
    // (near, far) per panel; the fill's red names the panel.
    const std::pair<int, int> depths[kPanelCount] = {
        {200, 210}, {220, 230}, {200, 215}, {200, 210}, {250, 251}, {180, 300},
        {200, 215}, {10, 20},   {220, 229}, {200, 210}, {0, 0},     {400, 401},
        {200, 210}, {220, 230}, {-5, 3},    {200, 216}, {220, 230}, {199, 500}};
    std::array<Panel, kPanelCount> panels;
    for (int i = 0; i < kPanelCount; ++i) {
        panels[i].nearDepth = depths[i].first;
        panels[i].farDepth = depths[i].second;
        panels[i].fill.r = i;
    }
    orderFarthestFirst(panels);
    const int expected[kPanelCount] = {11, 4, 1, 13, 16, 8, 15, 2, 6,
                                       0, 3, 9, 12, 17, 5, 7, 10, 14};
    for (int k = 0; k < kPanelCount; ++k)
        QCOMPARE(panels[k].fill.r, expected[k]);
}

void TestPanelScene::everyFrameIsOrderedAndInsideTheViewArea()
{
    float a = 0;
    for (int tick = 0; tick < 361; ++tick, a = nextAngle(a)) {
        std::array<Panel, kPanelCount> panels = modelPanels();
        Viewer viewer;
        viewer.yaw = a;
        for (Panel &p : panels) {
            toViewSpace(p, viewer);
            setDepthRange(p);
            QVERIFY(p.nearDepth <= p.farDepth);
            QVERIFY(p.nearDepth > 150 && p.farDepth < 280);
        }
        orderFarthestFirst(panels);
        for (int k = 0; k + 1 < kPanelCount; ++k)
            QVERIFY(panels[k].nearDepth > panels[k + 1].nearDepth
                    || (panels[k].nearDepth == panels[k + 1].nearDepth
                        && panels[k].farDepth >= panels[k + 1].farDepth));
        for (const DrawnPanel &d : sceneFrame(a))
            for (const QPoint &p : d.points)
                QVERIFY2(kViewArea.contains(p), qPrintable(QStringLiteral("tick %1").arg(tick)));
    }
}

void TestPanelScene::projection()
{
    QCOMPARE(project(30, 60, 300), QPointF(190, 180));
    QCOMPARE(project(-20, -4, 240), QPointF(80, 50));
    // At depth 15 or less a point projects as if at 16.
    QCOMPARE(project(8, -8, 15), QPointF(430, -240));
    QCOMPARE(project(8, -8, -40), QPointF(430, -240));

    // A stroke facing the viewer: x unchanged, y lowered by 30, depth 215 +- 5.
    Panel p = modelPanels()[0];
    const float x0 = p.x[0], y0 = p.y[0];
    toViewSpace(p, Viewer{});
    QCOMPARE(p.x[0], x0);
    QCOMPARE(p.y[0], y0 + 30);
    QCOMPARE(p.z[0], 210.f);
    QCOMPARE(p.z[1], 220.f);
    // A quarter turn swaps the depth offset into x (turning towards +x).
    Viewer quarter;
    quarter.yaw = kPi / 2;
    Panel q = modelPanels()[0];
    toViewSpace(q, quarter);
    QVERIFY(std::abs(q.x[1] - 5) < 1e-4f);
    QVERIFY(std::abs(q.z[1] - (215 - x0)) < 1e-4f);
}

QTEST_APPLESS_MAIN(TestPanelScene)
#include "test_panelscene.moc"
