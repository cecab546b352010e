// The statistics charts in the desktop's colours: no light panels in a dark
// scheme, no dark ones in a light scheme; labels in the text colour, marks
// that read on the ground, and whatever chart is added later styled by the
// same function.

#include "core/study/contrast.h"
#include "gui/common/chartstyle.h"
#include "gui/review/statisticswindow.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QRandomGenerator>
#include <QValueAxis>
#include <QtTest>

using namespace mdk;

namespace {

QPalette scheme(QColor ground, QColor text)
{
    QPalette p;
    p.setColor(QPalette::Window, ground);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, ground);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, ground);
    p.setColor(QPalette::ButtonText, text);
    return p;
}

review::Statistics someStatistics()
{
    review::Statistics s;
    s.newCards = 12;
    s.boxes = {3, 4, 5, 6, 7};
    for (int i = 0; i < review::kDaysShown; i += 3)
        s.reviewsPerDay[size_t(i)] = i % 7;
    for (int w = 0; w < review::kWeeksShown; ++w) {
        s.weekAnswers[size_t(w)] = 10;
        s.weekKnown[size_t(w)] = w;
    }
    return s;
}

// The share of a chart's pixels that are far from the ground: text, lines
// and bars only, never a panel of another colour.
double shareUnlikeGround(const QImage &image, QColor ground)
{
    qint64 unlike = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (contrast::ratio(image.pixel(x, y), ground.rgb()) > 1.5)
                ++unlike;
    return double(unlike) / (qint64(image.width()) * image.height());
}

} // namespace

class TestChartStyle : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void statisticsChartsTakeTheSchemesGround();
    void everyPartFollowsThePalette();
};

void TestChartStyle::statisticsChartsTakeTheSchemesGround()
{
    const std::pair<QColor, QColor> schemes[] = {{QColor(35, 38, 41), QColor(239, 240, 241)},
                                                 {QColor(239, 239, 239), QColor(0, 0, 0)}};
    for (const auto &[ground, text] : schemes) {
        StatisticsWindow w;
        w.setPalette(scheme(ground, text));
        w.setStatistics(someStatistics(), QDate(2026, 4, 6).toJulianDay());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QList<QChartView *> views = w.findChildren<QChartView *>();
        QVERIFY(views.size() >= 3);
        for (QChartView *view : views) {
            const QImage picture = view->grab().toImage();
            const double share = shareUnlikeGround(picture, ground);
            QVERIFY2(share < 0.2, qPrintable(QStringLiteral("%1 on %2: %3 of the pixels unlike the ground")
                                                 .arg(view->accessibleName(), ground.name())
                                                 .arg(share)));
            // The corners are the ground.
            QCOMPARE(QColor(picture.pixel(2, 2)), ground);
            QCOMPARE(QColor(picture.pixel(picture.width() - 3, picture.height() - 3)), ground);
        }
        // The scheme changes while the window is open: the charts follow.
        const QColor other = ground.lightness() < 128 ? QColor(250, 250, 250) : QColor(20, 20, 20);
        w.setPalette(scheme(other, text.lightness() < 128 ? QColor(250, 250, 250) : QColor(0, 0, 0)));
        for (QChartView *view : views)
            QCOMPARE(view->chart()->backgroundBrush().color(), other);
    }
}

void TestChartStyle::everyPartFollowsThePalette()
{
    QRandomGenerator random(3);
    for (int i = 0; i < 200; ++i) {
        const QColor ground = QColor::fromRgb(random.bounded(0x1000000));
        const QColor text = QColor::fromRgb(contrast::readable({ground.rgb() & 0xffffff, 0}).ink);
        const QColor barColour = QColor::fromRgb(random.bounded(0x1000000));
        const QColor lineColour = QColor::fromRgb(random.bounded(0x1000000));
        QChart chart;
        auto *set = new QBarSet(QString());
        set->append({1, 2, 3});
        set->setColor(barColour);
        auto *bars = new QBarSeries;
        bars->append(set);
        auto *line = new QLineSeries;
        line->append(0, 1);
        line->setColor(lineColour);
        chart.addSeries(bars);
        chart.addSeries(line);
        auto *axis = new QValueAxis;
        chart.addAxis(axis, Qt::AlignLeft);
        bars->attachAxis(axis);

        charts::style(chart, scheme(ground, text));
        QCOMPARE(chart.theme(), ground.lightness() < text.lightness() ? QChart::ChartThemeDark : QChart::ChartThemeLight);
        QCOMPARE(chart.backgroundBrush().color(), ground);
        QCOMPARE(chart.titleBrush().color(), text);
        QCOMPARE(axis->labelsBrush().color(), text);
        QVERIFY(contrast::ratio(axis->linePen().color().rgb(), ground.rgb()) >= contrast::kGraphicMinimum);
        // The theme did not repaint the series: their own colours, made to read.
        for (const auto &[colour, wanted] : {std::pair(set->color(), barColour), std::pair(line->color(), lineColour)}) {
            QVERIFY(contrast::ratio(colour.rgb(), ground.rgb()) >= contrast::kGraphicMinimum);
            if (contrast::ratio(wanted.rgb(), ground.rgb()) >= contrast::kGraphicMinimum)
                QCOMPARE(colour, wanted);
        }
    }
}

QTEST_MAIN(TestChartStyle)
#include "test_chartstyle.moc"
