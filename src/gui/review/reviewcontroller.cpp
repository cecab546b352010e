#include "reviewcontroller.h"

#include "core/deck/deck.h"
#include "core/deck/openfile.h"
#include "core/review/cardkey.h"
#include "core/review/intervaltext.h"
#include "core/review/progressstore.h"
#include "core/review/session.h"
#include "core/review/statistics.h"
#include "core/settings/options.h"
#include "core/shell/commandids.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"
#include "gui/review/reviewoptionsdlg.h"
#include "gui/review/reviewwindow.h"
#include "gui/review/statisticswindow.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QRandomGenerator>

#include <optional>

namespace mdk {

ReviewController::ReviewController(const CommandContext &context, const OpenFile &open, QObject *parent)
    : CommandController(context, parent), open_(open)
{
    bind(CM_REVIEW, &ReviewController::Review);
    bind(CM_STATISTICS, &ReviewController::Statistics);
    bind(CM_REVIEWOPTIONS, &ReviewController::ReviewOptions);
    // A user who has reviewed before: the store reads the cards on its own
    // thread now, so the first F5 finds them read. Nothing is created for
    // one who never has.
    if (QFileInfo::exists(review::ProgressStore::defaultPath()))
        store_ = std::make_unique<review::ProgressStore>();
    // The window's deck goes before its controllers; should this one go
    // first, the deck's listener only finds it gone.
    deck_.setTextListener([self = QPointer<ReviewController>(this)](const QString &b1, const QString &b2,
                                                                   const QString &a1, const QString &a2) {
        if (self)
            self->textChanged(b1, b2, a1, a2);
    });
    dueTimer_.setInterval(100);
    connect(&dueTimer_, &QTimer::timeout, this, &ReviewController::countDue);
}

ReviewController::~ReviewController() = default;

review::ProgressStore &ReviewController::store()
{
    // A store that is read-only stays so; one that was locked or could
    // not be written is tried again.
    if (!store_ || (!store_->saving() && !store_->readOnly())) {
        WaitCursor wait;
        store_.reset();
        store_ = std::make_unique<review::ProgressStore>();
    }
    schedule();
    return *store_;
}

// The scheduler chosen in the options decides what is due.
void ReviewController::schedule()
{
    if (store_)
        store_->setScheduling(options_.reviewScheduler == 1 ? review::SchedulerKind::Leitner : review::SchedulerKind::Fsrs,
                              options_.reviewDayStartHour);
}

qint64 ReviewController::today() const
{
    return review::dayOf(clock_(), options_.reviewDayStartHour);
}

void ReviewController::tellNotice()
{
    const QString notice = store_ ? store_->takeNotice() : QString();
    // A store opened again says again what it said before (a folder that
    // stays read-only): the user hears it once.
    if (notice.isEmpty() || told_.contains(notice))
        return;
    told_.insert(notice);
    Q_EMIT statusMessage(notice);
}

bool ReviewController::readable(review::ProgressStore &progress, const QString &caption)
{
    if (progress.readable()) {
        tellNotice();
        return true;
    }
    // Nothing is then taken as new: no round, no numbers.
    const QString notice = progress.takeNotice();
    if (!notice.isEmpty())
        told_.insert(notice);
    dialogs_.warn(window_, caption, notice.isEmpty() ? tr("The review progress could not be read.") : notice);
    return false;
}

void ReviewController::textChanged(const QString &side1Before, const QString &side2Before, const QString &side1After,
                                   const QString &side2After)
{
    if (!store_)
        return;
    store_->follow(review::cardKey(side1Before, side2Before), review::cardKey(side1After, side2After));
}

void ReviewController::keepDeckCards(review::ProgressStore &progress)
{
    if (!open_.path.isEmpty() && progress.saving())
        progress.setDeckCards(progress.deckId(open_.path), review::deckKeys(deck_));
}

void ReviewController::deckTouched()
{
    const Counted now{open_.path, deck_.oldTreeName(), deck_.showSubCategories(), deck_.viewCount()};
    if (now == counted_)
        return;
    counted_ = now;
    countDue();
}

void ReviewController::countDue()
{
    if (!store_) {
        dueTimer_.stop();
        return;
    }
    // Until the store's first read is done the window is not held up.
    if (!store_->isRead()) {
        dueTimer_.start();
        return;
    }
    dueTimer_.stop();
    schedule();
    if (!store_->readable()) {
        Q_EMIT dueChanged(QString());
        return;
    }
    const std::vector<qint64> keys = review::viewKeys(deck_);
    const review::Statistics s = review::statisticsOf(*store_, keys, today());
    Q_EMIT dueChanged(tr("%1 due · %2 new").arg(s.dueToday).arg(s.newCards));
}

void ReviewController::Review()
{
    review::ProgressStore &progress = store();
    std::vector<review::Candidate> candidates;
    {
        WaitCursor wait;
        candidates = review::viewCandidates(deck_, progress);
    }
    if (!readable(progress, tr("Review")))
        return;
    const qint64 deckId = open_.path.isEmpty() || !progress.saving() ? 0 : progress.deckId(open_.path);
    review::RoundRules rules;
    rules.newCards = options_.reviewNewCards;
    rules.maxDue = options_.reviewMaxDue;
    rules.seed = QRandomGenerator::global()->generate64();
    std::optional<review::Round> round;
    round.emplace(review::buildRound(candidates, today(), rules));
    candidates = {};
    if (round->count() == 0) {
        Q_EMIT statusMessage(tr("Nothing to review now: no card is due and no new card is left."));
        return;
    }

    const bool fsrs = progress.scheduler() == review::SchedulerKind::Fsrs;
    ReviewWindow window(options_.reviewDirection, window_,
                        !fsrs                        ? ReviewWindow::Buttons::KnewOrNot
                        : options_.reviewTwoButtons ? ReviewWindow::Buttons::AgainGood
                                                    : ReviewWindow::Buttons::FourGrades);
    window.setPlace(open_.ProtectedFileName.isEmpty() ? tr("Untitled") : open_.ProtectedFileName,
                    deck_.oldTreeName());
    QElapsedTimer timer;
    timer.start();
    bool saved = progress.saving();
    auto summary = [&] {
        window.showSummary(review::summaryText(*round, timer.elapsed(), saved), round->missed() > 0);
    };
    auto show = [&] {
        if (round->finished()) {
            summary();
            return;
        }
        const review::RoundCard &c = round->current();
        const bool side2 = review::asksSide2(review::Direction(window.direction()), c);
        const QString &one = deck_.viewSide1(c.card), &two = deck_.viewSide2(c.card);
        window.showCard(side2 ? two : one, side2 ? one : two, round->progressLine());
        if (fsrs) {
            // What each grade would give, from the card's state as stored.
            const QDateTime now = clock_();
            const auto next = progress.preview(c.key, now, today());
            QStringList intervals;
            for (const review::fsrs::Card &card : next)
                intervals << review::intervalText(card.due - now.toMSecsSinceEpoch());
            window.setIntervals(intervals);
        }
    };
    auto grade = [&](review::fsrs::Grade g) {
        review::answerCard(*round, g, progress, deckId, clock_(), options_.reviewDayStartHour);
        saved = saved && progress.saving();
        tellNotice();
        show();
    };
    connect(&window, &ReviewWindow::answered, this, [&](bool knew) {
        if (fsrs) {
            grade(review::fsrs::gradeFromKnew(knew));
            return;
        }
        review::answerCard(*round, knew, progress, deckId, clock_(), options_.reviewDayStartHour);
        saved = saved && progress.saving();
        tellNotice();
        show();
    });
    connect(&window, &ReviewWindow::graded, this, [&](int g) { grade(review::fsrs::Grade(g)); });
    connect(&window, &ReviewWindow::takeBackRequested, this, [&] {
        if (!round->canTakeBack())
            return;
        if (!review::takeBackAnswer(*round, progress))
            Q_EMIT statusMessage(tr("The answer could not be taken back in the review progress."));
        show();
    });
    connect(&window, &ReviewWindow::roundEnded, this, summary);
    connect(&window, &ReviewWindow::repeatRequested, this, [&] {
        round.emplace(round->missedCards());
        timer.restart();
        saved = progress.saving();
        show();
    });
    connect(&window, &ReviewWindow::directionChanged, this, [&](int direction) {
        options_.reviewDirection = direction;
        if (!round->finished())
            show();
    });
    show();
    window.exec();
    // Kept when the user no longer waits for it.
    keepDeckCards(progress);
    countDue();
}

void ReviewController::Statistics()
{
    review::ProgressStore &progress = store();
    {
        WaitCursor wait;
        progress.readable();
    }
    if (!readable(progress, tr("Statistics")))
        return;
    StatisticsWindow window(window_);
    auto refresh = [&] {
        WaitCursor wait;
        const qint64 day = today();
        std::vector<qint64> keys;
        if (window.allDecks()) {
            keys = review::deckKeys(deck_);
            // Every deck as it was last seen, the open one as it is now.
            const std::vector<qint64> others =
                progress.existingCards(open_.path.isEmpty() ? 0 : progress.deckId(open_.path));
            keys.insert(keys.end(), others.begin(), others.end());
        } else {
            keys = review::viewKeys(deck_);
        }
        window.setStatistics(review::statisticsOf(progress, keys, day), day);
        window.setMissingDecks(progress.decks());
    };
    connect(&window, &StatisticsWindow::scopeChanged, this, refresh);
    connect(&window, &StatisticsWindow::saveRequested, this, [&] {
        const QString path = dialogs_.pictureFileName(&window, tr("Save as PNG"), open_.currentDirectory);
        if (!path.isEmpty() && !window.picture().save(path, "PNG"))
            dialogs_.warn(&window, tr("Save as PNG"), tr("The picture could not be saved."));
    });
    connect(&window, &StatisticsWindow::reattachRequested, this, [&](qint64 deck) {
        const QString path = dialogs_.openFileName(&window, tr("Re-attach"), open_.currentDirectory);
        if (path.isEmpty())
            return;
        if (!progress.reattach(deck, path)) {
            dialogs_.warn(&window, tr("Re-attach"),
                          tr("The deck could not be re-attached: the review progress cannot be written."));
            return;
        }
        refresh();
        Q_EMIT statusMessage(tr("The deck's progress counts again under %1.").arg(QFileInfo(path).fileName()));
    });
    refresh();
    window.exec();
    keepDeckCards(progress);
}

void ReviewController::ReviewOptions()
{
    ReviewOptionsDlg dialog({options_.reviewNewCards, options_.reviewMaxDue, options_.reviewDirection,
                             options_.reviewDayStartHour},
                            window_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const ReviewOptionsDlg::Values v = dialog.values();
    options_.reviewNewCards = v.newCards;
    options_.reviewMaxDue = v.maxDue;
    options_.reviewDirection = v.direction;
    options_.reviewDayStartHour = v.dayStartHour;
    countDue();
}

} // namespace mdk
