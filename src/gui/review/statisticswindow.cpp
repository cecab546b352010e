#include "statisticswindow.h"

#include "gui/common/accessibility.h"
#include "gui/common/chartstyle.h"
#include "ui_statisticswindow.h"

#include <QAbstractItemView>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDate>
#include <QDateTimeAxis>
#include <QEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineSeries>
#include <QLocale>
#include <QScreen>
#include <QValueAxis>

#include <algorithm>

namespace mdk {

namespace {

// Every chart of the window is made here.
QChartView *addChart(QGridLayout *grid, int row, int column, int span, const QString &title)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    auto *view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    // Four fit a 1920x1080 screen at 200 %.
    view->setMinimumSize(320, 180);
    view->setAccessibleName(title);
    grid->addWidget(view, row, column, 1, span);
    return view;
}

// Replaces the chart's bars with one set of values, each written over its
// bar in the chart's own text colour. With labels, they name the bars; a
// long row of bars (labels empty) is numbered every 5 from 0 instead.
void fill(QChart *chart, const QStringList &labels, const QList<qreal> &values, qreal top, const QColor &color)
{
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes())
        chart->removeAxis(axis);
    auto *set = new QBarSet(QString());
    set->append(values);
    set->setColor(color);
    set->setLabelColor(chart->titleBrush().color());
    auto *series = new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));
    chart->addSeries(series);
    QAbstractAxis *x = nullptr;
    if (labels.isEmpty()) {
        auto *days = new QValueAxis;
        days->setRange(-0.5, values.size() - 0.5);
        days->setTickType(QValueAxis::TicksDynamic);
        days->setTickAnchor(0);
        days->setTickInterval(5);
        days->setLabelFormat(QStringLiteral("%d"));
        days->setGridLineVisible(false);
        x = days;
    } else {
        auto *named = new QBarCategoryAxis;
        named->append(labels);
        x = named;
    }
    auto *y = new QValueAxis;
    // Room above the highest bar for its value.
    y->setRange(0, std::max<qreal>(top * 1.15, 4));
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
    boxes_ = addChart(ui_->charts, 0, 0, 1, tr("Cards per box"));
    weeks_ = addChart(ui_->charts, 0, 1, 1, tr("Share known per week (%), this week last"));
    days_ = addChart(ui_->charts, 1, 0, 1, tr("Reviews per day, last 30 days"));
    forecast_ = addChart(ui_->charts, 1, 1, 1, tr("Cards due in the next 30 days (0: today)"));
    // Tab goes through the charts where they are shown: below the scope,
    // above the decks.
    setTabOrder(ui_->scope, boxes_);
    setTabOrder(boxes_, weeks_);
    setTabOrder(weeks_, days_);
    setTabOrder(days_, forecast_);
    // The lists the combo boxes open, and so their scroll bars, say whose they are.
    ui_->scope->view()->setAccessibleName(tr("Cards"));
    ui_->missingDecks->view()->setAccessibleName(tr("Decks whose file is gone"));
    // Empty, the box has no current text to be named by.
    ui_->missingDecks->setAccessibleName(tr("Decks whose file is gone"));
    accessible::nameScrollBars(*this);
    styleCharts();
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
    QStringList boxLabels{tr("new")};
    QList<qreal> boxValues{qreal(s.newCards)};
    // The memory model's cards by state, or the boxes.
    const QStringList states{tr("learning"), tr("review"), tr("relearning")};
    const int groups = s.byState ? int(states.size()) : review::kBoxes;
    boxes_->chart()->setTitle(s.byState ? tr("Cards by state") : tr("Cards per box"));
    for (int b = 0; b < groups; ++b) {
        boxLabels.append(s.byState ? states[b] : QString::number(b + 1));
        boxValues.append(s.boxes[size_t(b)]);
    }
    fill(boxes_->chart(), boxLabels, boxValues, *std::max_element(boxValues.begin(), boxValues.end()), QColor(0x3b, 0x6e, 0xa8));
    QStringList said{tr("new: %1").arg(s.newCards)};
    for (int b = 0; b < groups; ++b)
        said << (s.byState ? tr("%1: %2").arg(states[b]).arg(s.boxes[size_t(b)])
                           : tr("box %1: %2").arg(b + 1).arg(s.boxes[size_t(b)]));
    boxes_->setAccessibleDescription(said.join(QStringLiteral(", ")));

    // Days run along a date axis: thirty bar labels would not fit.
    QChart *days = days_->chart();
    days->removeAllSeries();
    for (QAbstractAxis *axis : days->axes())
        days->removeAxis(axis);
    auto *line = new QLineSeries;
    line->setColor(QColor(0x4c, 0x9a, 0x5a));
    int most = 0;
    said.clear(); // only the days with reviews
    const QLocale locale;
    //: A day a screen reader says: day and month name ("6 April").
    const QString dateFormat = tr("d MMMM");
    for (int i = 0; i < review::kDaysShown; ++i) {
        const QDate date = QDate::fromJulianDay(today - review::kDaysShown + 1 + i);
        const int reviews = s.reviewsPerDay[size_t(i)];
        line->append(qreal(date.startOfDay().toMSecsSinceEpoch()), reviews);
        most = std::max(most, reviews);
        if (reviews > 0)
            said << QStringLiteral("%1: %2").arg(locale.toString(date, dateFormat)).arg(reviews);
    }
    days_->setAccessibleDescription(said.isEmpty() ? tr("no reviews") : said.join(QStringLiteral(", ")));
    line->setPointsVisible(true);
    days->addSeries(line);
    auto *when = new QDateTimeAxis;
    //: The dates under the reviews per day: day and short month name ("6 Apr").
    when->setFormat(tr("d MMM"));
    when->setTickCount(6);
    auto *count = new QValueAxis;
    count->setRange(0, std::max(most, 4));
    count->applyNiceNumbers();
    count->setLabelFormat(QStringLiteral("%d"));
    days->addAxis(when, Qt::AlignBottom);
    days->addAxis(count, Qt::AlignLeft);
    line->attachAxis(when);
    line->attachAxis(count);

    weeks_->chart()->setTitle(s.byState ? tr("True retention per week (%), mature cards, this week last")
                                        : tr("Share known per week (%), this week last"));
    QStringList weekLabels;
    QList<qreal> weekValues;
    said.clear(); // only the weeks with answers
    for (int w = 0; w < review::kWeeksShown; ++w) {
        const int ago = review::kWeeksShown - 1 - w;
        weekLabels.append(ago == 0 ? tr("now") : QStringLiteral("-%1").arg(ago));
        // The model's true retention: mature cards answered other than Again.
        const int answers = s.byState ? s.matureAnswers[size_t(w)] : s.weekAnswers[size_t(w)];
        const int known = s.byState ? s.matureRecalled[size_t(w)] : s.weekKnown[size_t(w)];
        weekValues.append(answers ? qRound(100.0 * known / answers) : 0);
        if (answers > 0) {
            const QString percent = QString::number(qRound(weekValues.last()));
            said << (ago == 0   ? tr("this week: %1 %").arg(percent)
                     : ago == 1 ? tr("last week: %1 %").arg(percent)
                                : tr("%1 weeks ago: %2 %").arg(ago).arg(percent));
        }
    }
    fill(weeks_->chart(), weekLabels, weekValues, 100, QColor(0xc0, 0x8a, 0x2e));
    // A chart cuts a label wider than its share of the axis to "je...": the
    // axis is as wide as the language's widest week label needs (in the
    // labels' font, charts::style's). A category axis gives each label a
    // ninth of its width for eight bars, less a padding of 4 on each side;
    // beside it are the value axis's labels and the chart's margins.
    const QFontMetrics labelFont(QGuiApplication::font());
    int widest = 0;
    for (const QString &label : weekLabels)
        widest = std::max(widest, labelFont.horizontalAdvance(label));
    const int axis = (review::kWeeksShown + 1) * (widest + 2 * 4 + 4);
    // The charts share the window's columns: each is as wide as the widest needs.
    const int width = std::max(380, axis + labelFont.horizontalAdvance(QStringLiteral("100")) + 90);
    for (QChartView *view : {boxes_, weeks_, days_, forecast_})
        view->setMinimumWidth(width);
    weeks_->setAccessibleDescription(said.isEmpty() ? tr("no answers") : said.join(QStringLiteral(", ")));

    QList<qreal> dueValues;
    said.clear(); // only the days with cards due
    for (int d = 0; d < review::kForecastDays; ++d) {
        const int due = s.forecast[size_t(d)];
        dueValues.append(due);
        if (due > 0)
            said << (d == 0   ? tr("today: %1").arg(due)
                     : d == 1 ? tr("tomorrow: %1").arg(due)
                              : tr("in %1 days: %2").arg(d).arg(due));
    }
    fill(forecast_->chart(), {}, dueValues, *std::max_element(dueValues.begin(), dueValues.end()),
         QColor(0x8e, 0x5a, 0xa8));
    forecast_->setAccessibleDescription(said.isEmpty() ? tr("no cards due") : said.join(QStringLiteral(", ")));

    ui_->dueLine->setText(tr("Due today: %1 · tomorrow: %2 · this week: %3")
                              .arg(s.dueToday)
                              .arg(s.dueTomorrow)
                              .arg(s.dueThisWeek));
    styleCharts();
}

void StatisticsWindow::styleCharts()
{
    for (QChartView *view : findChildren<QChartView *>())
        charts::style(*view->chart(), palette());
}

void StatisticsWindow::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        styleCharts();
}

void StatisticsWindow::setMissingDecks(const std::vector<review::ProgressStore::DeckEntry> &decks)
{
    ui_->missingDecks->clear();
    for (const review::ProgressStore::DeckEntry &d : decks)
        if (!QFileInfo::exists(d.path))
            ui_->missingDecks->addItem(tr("%1 (%n card(s))", nullptr, d.cards).arg(d.path), d.id);
    const bool any = ui_->missingDecks->count() > 0;
    ui_->missingDecks->setEnabled(any);
    ui_->reattachButton->setEnabled(any);
}

void StatisticsWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Never larger than the screen's free area (at 200 % a 1920x1080
    // screen is 960x540), and wholly on it.
    if (const QScreen *where = screen()) {
        const QRect free = where->availableGeometry();
        const QSize frame = frameGeometry().size() - size();
        resize(size().boundedTo(free.size() - frame));
        QRect r = frameGeometry();
        r.moveLeft(std::clamp(r.left(), free.left(), std::max(free.left(), free.right() - r.width() + 1)));
        r.moveTop(std::clamp(r.top(), free.top(), std::max(free.top(), free.bottom() - r.height() + 1)));
        move(r.topLeft());
    }
}

QPixmap StatisticsWindow::picture()
{
    return grab();
}

} // namespace mdk
