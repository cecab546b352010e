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
#include <QEventLoop>
#include <QLocale>
#include <QProgressDialog>
#include <QFileInfo>
#include <QPointer>
#include <QRandomGenerator>

#include <atomic>
#include <optional>
#include <thread>

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

// Long work on the memory model (rescheduling every card, fitting the
// parameters) runs on a worker thread; the window shows its progress and
// Cancel. The store is not touched by this thread meanwhile.
bool ReviewController::runOnWorker(QWidget *parent, const QString &label,
                                   const std::function<bool(const std::function<bool(double)> &)> &work)
{
    std::atomic<int> done{0};
    std::atomic<bool> cancelled{false};
    std::atomic<bool> finished{false};
    bool result = false;
    const bool timerWasOn = dueTimer_.isActive();
    dueTimer_.stop();
    QProgressDialog progress(label, tr("Cancel"), 0, 1000, parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(30);
    connect(&poll, &QTimer::timeout, &loop, [&] {
        progress.setValue(done.load());
        if (finished.load())
            loop.quit();
    });
    connect(&progress, &QProgressDialog::canceled, &loop, [&] { cancelled = true; });
    std::thread worker([&] {
        result = work([&](double share) {
            done = int(std::clamp(share, 0.0, 1.0) * 1000);
            return !cancelled.load();
        });
        finished = true;
    });
    poll.start();
    loop.exec();
    worker.join();
    if (timerWasOn)
        dueTimer_.start();
    return result && !cancelled.load();
}

void ReviewController::ReviewOptions()
{
    review::ProgressStore &progress = store();
    const review::fsrs::Settings before = progress.fsrsSettings();
    ReviewOptionsDlg dialog({options_.reviewNewCards, options_.reviewMaxDue, options_.reviewDirection,
                             options_.reviewDayStartHour, options_.reviewScheduler, options_.reviewTwoButtons,
                             before.desiredRetention, before.maximumInterval, before.w},
                            window_);
    connect(&dialog, &ReviewOptionsDlg::optimiseRequested, this, [&] {
        std::vector<review::fsrs::CardLog> logs;
        {
            WaitCursor wait;
            for (auto &entry : progress.reviewLogs())
                logs.push_back(std::move(entry.second));
        }
        const review::fsrs::TrainingData data = review::fsrs::trainingData(logs);
        logs = {};
        if (data.trainingItemCount() < review::fsrs::kMinimumTrainingItems) {
            dialog.setFitted(nullptr, tr("Too few reviews to fit the parameters: %1 of the %2 needed.")
                                          .arg(data.trainingItemCount())
                                          .arg(review::fsrs::kMinimumTrainingItems));
            return;
        }
        review::fsrs::OptimiseResult fitted;
        const review::fsrs::Parameters start = dialog.values().parameters;
        const bool done = runOnWorker(&dialog, tr("Fitting the parameters to your reviews..."),
                                      [&](const std::function<bool(double)> &report) {
                                          fitted = review::fsrs::optimise(data, start, report);
                                          return fitted.outcome == review::fsrs::OptimiseResult::Fitted;
                                      });
        if (!done) {
            dialog.setFitted(nullptr, fitted.outcome == review::fsrs::OptimiseResult::TooFewReviews
                                          ? tr("Too few reviews to fit the parameters.")
                                          : tr("Optimise was cancelled; the parameters are as they were."));
            return;
        }
        const QLocale locale;
        dialog.setFitted(&fitted.parameters,
                         tr("Fitted to %1 reviews. Log loss %2 → %3, RMSE %4 → %5. OK keeps them.")
                             .arg(data.reviewCount())
                             .arg(locale.toString(fitted.before.logLoss, 'f', 4), locale.toString(fitted.after.logLoss, 'f', 4),
                                  locale.toString(fitted.before.rmseBins, 'f', 4),
                                  locale.toString(fitted.after.rmseBins, 'f', 4)));
    });
    if (dialog.exec() != QDialog::Accepted)
        return;
    const ReviewOptionsDlg::Values v = dialog.values();
    options_.reviewNewCards = v.newCards;
    options_.reviewMaxDue = v.maxDue;
    options_.reviewDirection = v.direction;
    options_.reviewDayStartHour = v.dayStartHour;
    options_.reviewScheduler = v.scheduler;
    options_.reviewTwoButtons = v.twoButtons;
    schedule();
    review::fsrs::Settings next = before;
    next.desiredRetention = v.retention;
    next.maximumInterval = v.maximumInterval;
    next.w = v.parameters;
    if (next.desiredRetention != before.desiredRetention || next.maximumInterval != before.maximumInterval
        || next.w != before.w) {
        // Every card's schedule follows from its log under the new settings.
        const bool kept = progress.saving()
                          && runOnWorker(window_, tr("Rescheduling every card..."),
                                         [&](const std::function<bool(double)> &report) {
                                             return progress.reschedule(next, report);
                                         });
        if (!kept)
            dialogs_.warn(window_, tr("Review options"),
                          tr("The memory model's settings were not changed: the review progress cannot be written or "
                             "the change was cancelled."));
    }
    countDue();
}

} // namespace mdk
