#include "statisticswindow.h"

#include "ui_statisticswindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDate>
#include <QDateTimeAxis>
#include <QFileInfo>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace mdk {

namespace {

QChart *addChart(QGridLayout *grid, int row, int column, int span, const QString &title)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    auto *view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(380, 240);
    grid->addWidget(view, row, column, 1, span);
    return chart;
}

// Replaces the chart's bars with one set of values under the labels.
void fill(QChart *chart, const QStringList &labels, const QList<qreal> &values, qreal top, const QColor &color)
{
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes())
        chart->removeAxis(axis);
    auto *set = new QBarSet(QString());
    set->append(values);
    set->setColor(color);
    auto *series = new QBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto *x = new QBarCategoryAxis;
    x->append(labels);
    auto *y = new QValueAxis;
    y->setRange(0, std::max<qreal>(top, 4));
    y->applyNiceNumbers(); // whole-number ticks
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

} // namespace

StatisticsWindow::StatisticsWindow(QWidget *parent)
    : QDialog(parent), ui_(std::make_unique<Ui::StatisticsWindow>())
{
    ui_->setupUi(this);
    boxes_ = addChart(ui_->charts, 0, 0, 1, QStringLiteral("Cards per box"));
    weeks_ = addChart(ui_->charts, 0, 1, 1, QStringLiteral("Share known per week (%), this week last"));
    days_ = addChart(ui_->charts, 1, 0, 2, QStringLiteral("Reviews per day, last 30 days"));
    connect(ui_->scope, &QComboBox::currentIndexChanged, this, &StatisticsWindow::scopeChanged);
    connect(ui_->saveButton, &QPushButton::clicked, this, &StatisticsWindow::saveRequested);
    connect(ui_->closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->reattachButton, &QPushButton::clicked, this, [this] {
        if (ui_->missingDecks->currentIndex() >= 0)
            Q_EMIT reattachRequested(ui_->missingDecks->currentData().toLongLong());
    });
}

StatisticsWindow::~StatisticsWindow() = default;

bool StatisticsWindow::allDecks() const
{
    return ui_->scope->currentIndex() == 1;
}

void StatisticsWindow::setStatistics(const review::Statistics &s, qint64 today)
{
    QStringList boxLabels{QStringLiteral("new")};
    QList<qreal> boxValues{qreal(s.newCards)};
    for (int b = 0; b < review::kBoxes; ++b) {
        boxLabels.append(QString::number(b + 1));
        boxValues.append(s.boxes[size_t(b)]);
    }
    fill(boxes_, boxLabels, boxValues, *std::max_element(boxValues.begin(), boxValues.end()), QColor(0x3b, 0x6e, 0xa8));

    // Days run along a date axis: thirty bar labels would not fit.
    days_->removeAllSeries();
    for (QAbstractAxis *axis : days_->axes())
        days_->removeAxis(axis);
    auto *line = new QLineSeries;
    line->setColor(QColor(0x4c, 0x9a, 0x5a));
    int most = 0;
    for (int i = 0; i < review::kDaysShown; ++i) {
        const QDate date = QDate::fromJulianDay(today - review::kDaysShown + 1 + i);
        line->append(qreal(date.startOfDay().toMSecsSinceEpoch()), s.reviewsPerDay[size_t(i)]);
        most = std::max(most, s.reviewsPerDay[size_t(i)]);
    }
    line->setPointsVisible(true);
    days_->addSeries(line);
    auto *when = new QDateTimeAxis;
    when->setFormat(QStringLiteral("d MMM"));
    when->setTickCount(6);
    auto *count = new QValueAxis;
    count->setRange(0, std::max(most, 4));
    count->applyNiceNumbers();
    count->setLabelFormat(QStringLiteral("%d"));
    days_->addAxis(when, Qt::AlignBottom);
    days_->addAxis(count, Qt::AlignLeft);
    line->attachAxis(when);
    line->attachAxis(count);

    QStringList weekLabels;
    QList<qreal> weekValues;
    for (int w = 0; w < review::kWeeksShown; ++w) {
        const int ago = review::kWeeksShown - 1 - w;
        weekLabels.append(ago == 0 ? QStringLiteral("now") : QStringLiteral("-%1").arg(ago));
        const int answers = s.weekAnswers[size_t(w)];
        weekValues.append(answers ? 100.0 * s.weekKnown[size_t(w)] / answers : 0.0);
    }
    fill(weeks_, weekLabels, weekValues, 100, QColor(0xc0, 0x8a, 0x2e));

    ui_->dueLine->setText(QStringLiteral("Due today: %1 \u00b7 tomorrow: %2 \u00b7 this week: %3")
                              .arg(s.dueToday)
                              .arg(s.dueTomorrow)
                              .arg(s.dueThisWeek));
}

void StatisticsWindow::setMissingDecks(const std::vector<review::ProgressStore::DeckEntry> &decks)
{
    ui_->missingDecks->clear();
    for (const review::ProgressStore::DeckEntry &d : decks)
        if (!QFileInfo::exists(d.path))
            ui_->missingDecks->addItem(d.path, d.id);
    const bool any = ui_->missingDecks->count() > 0;
    ui_->missingDecks->setEnabled(any);
    ui_->reattachButton->setEnabled(any);
}

QPixmap StatisticsWindow::picture()
{
    return grab();
}

} // namespace mdk
