#pragma once

#include "core/review/leitner.h"
#include "gui/common/commandcontroller.h"

#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

namespace mdk {

struct OpenFile;
namespace review {
class ProgressStore;
}

// Review, Statistics and Review options: rounds over the open view that
// remember, outside the card file, which cards the user knows. The round
// never changes the deck; a card whose text the program changes takes what
// was learnt of it along.
class ReviewController : public CommandController {
    Q_OBJECT
public:
    ReviewController(const CommandContext &context, const OpenFile &open, QObject *parent = nullptr);
    ~ReviewController() override;

    void Review();
    void Statistics();
    void ReviewOptions();

    // Tests move through days with a clock of their own.
    void setClock(review::Clock clock) { clock_ = std::move(clock); }

    // Counts again the open view's due and new cards (after a file was
    // opened); the count arrives through dueChanged when the store is read.
    void countDue();
    // After any command: a view of other cards is counted again.
    void deckTouched();

Q_SIGNALS:
    // "12 due · 30 new": the open view's cards, for the status line.
    void dueChanged(const QString &text);

private:
    // The progress store, opened at first use and again when it had
    // stopped saving (the other program may have let go by now).
    review::ProgressStore &store();
    void schedule();
    bool runOnWorker(QWidget *parent, const QString &label,
                     const std::function<bool(const std::function<bool(double)> &)> &work);
    // The store's notice, once, in the status line (and in a message box
    // when it says progress was set aside).
    void tellNotice();
    // The store can be read; else the user is told and nothing is counted.
    bool readable(review::ProgressStore &progress, const QString &caption);
    qint64 today() const;
    // What the open deck holds now, as the store keeps it for "All decks".
    void keepDeckCards(review::ProgressStore &progress);
    void textChanged(const QString &side1Before, const QString &side2Before, const QString &side1After,
                     const QString &side2After);

    const OpenFile &open_;
    review::Clock clock_ = review::systemClock();
    std::unique_ptr<review::ProgressStore> store_;
    QSet<QString> told_;
    QTimer dueTimer_; // waits for the store's first read without holding the window
    struct Counted {
        QString path, category;
        bool subcategories = false;
        int cards = -1;
        bool operator==(const Counted &) const = default;
    } counted_;
};

} // namespace mdk
