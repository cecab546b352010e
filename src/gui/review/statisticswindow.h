#pragma once

#include "core/review/progressstore.h"
#include "core/review/statistics.h"

#include <QDialog>
#include <QPixmap>

#include <memory>
#include <vector>

namespace Ui {
class StatisticsWindow;
}

class QChart;
class QChartView;

namespace mdk {

// The statistics window: cards per box, answers per day over the last 30
// days, the share known per week, and the cards due on each of the next 30
// days. "All decks" counts the cards of every deck whose file is there; a
// deck whose file is gone counts again once re-attached to where it went. It shows what it is
// given and says what the user chose: the view's cards or all decks, a
// picture to save, a deck to re-attach to a moved file.
class StatisticsWindow : public QDialog {
    Q_OBJECT
public:
    explicit StatisticsWindow(QWidget *parent = nullptr);
    ~StatisticsWindow() override;

    bool allDecks() const;
    void setStatistics(const review::Statistics &statistics, qint64 today);
    // The decks whose card file is no longer where it was.
    void setMissingDecks(const std::vector<review::ProgressStore::DeckEntry> &decks);
    // The charts and counts as they are shown.
    QPixmap picture();

Q_SIGNALS:
    void scopeChanged();
    void saveRequested();
    void reattachRequested(qint64 deck);

protected:
    void showEvent(QShowEvent *event) override;

private:
    std::unique_ptr<Ui::StatisticsWindow> ui_;
    // The charts' views; a screen reader hears each one's values in its description.
    QChartView *boxes_ = nullptr;
    QChartView *days_ = nullptr;
    QChartView *weeks_ = nullptr;
    QChartView *forecast_ = nullptr;
};

} // namespace mdk
