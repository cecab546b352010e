#include "chartstyle.h"

#include "core/study/contrast.h"

#include <QAbstractAxis>
#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QLegend>
#include <QPalette>
#include <QPen>
#include <QXYSeries>

#include <vector>

namespace mdk::charts {

namespace {

QColor mixed(const QColor &a, const QColor &b, double share)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * share),
                            float(a.greenF() + (b.greenF() - a.greenF()) * share),
                            float(a.blueF() + (b.blueF() - a.blueF()) * share));
}

QColor readableOn(const QColor &colour, const QColor &ground)
{
    return QColor::fromRgb(contrast::reaching(colour.rgb(), ground.rgb()));
}

} // namespace

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

void style(QChart &chart, const QPalette &palette)
{
    const QColor ground = palette.color(QPalette::Window);
    const QColor text = palette.color(QPalette::WindowText);

    // A theme paints every series in its own colours: keep ours across it.
    const QChart::ChartTheme theme = isDark(palette) ? QChart::ChartThemeDark : QChart::ChartThemeLight;
    if (chart.theme() != theme) {
        std::vector<QColor> colours;
        for (QAbstractSeries *series : chart.series()) {
            if (auto *bars = qobject_cast<QAbstractBarSeries *>(series))
                for (QBarSet *set : bars->barSets())
                    colours.push_back(set->color());
            else if (auto *xy = qobject_cast<QXYSeries *>(series))
                colours.push_back(xy->color());
        }
        const QFont title = chart.titleFont();
        chart.setTheme(theme);
        chart.setTitleFont(title);
        size_t i = 0;
        for (QAbstractSeries *series : chart.series()) {
            if (auto *bars = qobject_cast<QAbstractBarSeries *>(series))
                for (QBarSet *set : bars->barSets())
                    set->setColor(colours[i++]);
            else if (auto *xy = qobject_cast<QXYSeries *>(series))
                xy->setColor(colours[i++]);
        }
    }

    chart.setBackgroundBrush(ground);
    chart.setBackgroundPen(Qt::NoPen);
    chart.setBackgroundRoundness(0);
    chart.setPlotAreaBackgroundVisible(false);
    chart.setTitleBrush(text);
    chart.legend()->setLabelColor(text);
    chart.legend()->setBrush(Qt::NoBrush);
    chart.legend()->setPen(Qt::NoPen);

    // Axis lines are what locate the values: 3:1; the grid only helps the
    // eye and stays faint.
    const QColor line = readableOn(mixed(ground, text, 0.45), ground);
    const QColor grid = mixed(ground, text, 0.2);
    const QFont labels = QGuiApplication::font();
    for (QAbstractAxis *axis : chart.axes()) {
        axis->setLabelsBrush(text);
        axis->setLabelsFont(labels);
        axis->setTitleBrush(text);
        axis->setLinePen(QPen(line, 1));
        axis->setGridLineColor(grid);
        axis->setMinorGridLineColor(grid);
        axis->setShadesVisible(false);
    }

    for (QAbstractSeries *series : chart.series()) {
        if (auto *bars = qobject_cast<QAbstractBarSeries *>(series)) {
            for (QBarSet *set : bars->barSets()) {
                set->setColor(readableOn(set->color(), ground));
                set->setBorderColor(set->color());
                set->setLabelColor(text);
            }
        } else if (auto *xy = qobject_cast<QXYSeries *>(series)) {
            xy->setColor(readableOn(xy->color(), ground));
        }
    }

    // The views around the chart show the same ground at their edges.
    if (QGraphicsScene *scene = chart.scene()) {
        scene->setBackgroundBrush(ground);
        for (QGraphicsView *view : scene->views())
            view->setBackgroundBrush(ground);
    }
}

} // namespace mdk::charts
