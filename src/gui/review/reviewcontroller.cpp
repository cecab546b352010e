#include "reviewcontroller.h"

#include "core/deck/deck.h"
#include "core/deck/openfile.h"
#include "core/review/progressstore.h"
#include "core/review/session.h"
#include "core/review/statistics.h"
#include "core/settings/options.h"
#include "core/shell/commandids.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"
#include "gui/review/reviewwindow.h"
#include "gui/review/statisticswindow.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>

#include <optional>

namespace mdk {

ReviewController::ReviewController(const CommandContext &context, const OpenFile &open, QObject *parent)
    : CommandController(context, parent), open_(open)
{
    bind(CM_REVIEW, &ReviewController::Review);
    bind(CM_STATISTICS, &ReviewController::Statistics);
    // A user who has reviewed before: the store reads the cards on its own
    // thread now, so the first F5 finds them read. Nothing is created for
    // one who never has.
    if (QFileInfo::exists(review::ProgressStore::defaultPath()))
        store_ = std::make_unique<review::ProgressStore>();
}

ReviewController::~ReviewController() = default;

review::ProgressStore &ReviewController::store()
{
    if (!store_ || !store_->saving()) {
        WaitCursor wait;
        store_.reset();
        store_ = std::make_unique<review::ProgressStore>();
    }
    return *store_;
}

void ReviewController::tellNotice()
{
    const QString notice = store_ ? store_->takeNotice() : QString();
    // A store opened again says again what it said before (a folder that
    // stays read-only): the user hears it once.
    if (!notice.isEmpty() && !told_.contains(notice)) {
        told_.insert(notice);
        Q_EMIT statusMessage(notice);
    }
}

void ReviewController::Review()
{
    review::ProgressStore &progress = store();
    tellNotice();
    const qint64 deckId = open_.path.isEmpty() ? 0 : progress.deckId(open_.path);
    review::RoundRules rules;
    rules.newCards = options_.reviewNewCards;
    rules.seed = QRandomGenerator::global()->generate64();
    std::optional<review::Round> round;
    {
        WaitCursor wait;
        round.emplace(review::buildRound(review::viewCandidates(deck_, progress), review::dayOf(clock_()), rules));
    }
    if (round->count() == 0) {
        Q_EMIT statusMessage(tr("Nothing to review now: no card is due and no new card is left."));
        return;
    }

    ReviewWindow window(options_.reviewDirection, window_);
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
    };
    connect(&window, &ReviewWindow::answered, this, [&](bool knew) {
        review::answerCard(*round, knew, progress, deckId, clock_());
        saved = saved && progress.saving();
        tellNotice();
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
}

void ReviewController::Statistics()
{
    review::ProgressStore &progress = store();
    tellNotice();
    StatisticsWindow window(window_);
    auto refresh = [&] {
        WaitCursor wait;
        const qint64 today = review::dayOf(clock_());
        if (window.allDecks()) {
            window.setStatistics(review::statisticsOf(progress, nullptr, today), today);
        } else {
            const std::vector<qint64> keys = review::viewKeys(deck_);
            window.setStatistics(review::statisticsOf(progress, &keys, today), today);
        }
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
        if (!progress.reattach(deck, path))
            dialogs_.warn(&window, tr("Re-attach"),
                          tr("The deck could not be re-attached: the review progress cannot be written."));
        refresh();
    });
    refresh();
    window.exec();
}

} // namespace mdk
