#include "searchcontroller.h"

#include "core/deck/deck.h"
#include "core/search/search.h"
#include "core/search/shuffle.h"
#include "core/settings/helpfile.h"
#include "core/settings/options.h"
#include "core/shell/commandids.h"
#include "gui/common/chartarget.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"
#include "gui/common/extendeddlg.h"
#include "gui/search/searchdlg.h"
#include "gui/search/shuffledlg.h"

#include <QDateTime>
#include <QLocale>

namespace mdk {

SearchController::SearchController(const CommandContext &context, QObject *parent)
    : CommandController(context, parent), rng_(quint64(QDateTime::currentMSecsSinceEpoch()))
{
    bind(CM_CARDSEARCH, &SearchController::Search);
    bind(CM_SEARCHAGAIN, &SearchController::SearchAgain);
    bind(CM_SHUFFLE, &SearchController::ShuffleCards);
    bind(CM_FLIP, &SearchController::Flip);
}

void SearchController::Search()
{
    if (const QString refused = search::refusal(deck_); !refused.isEmpty()) {
        dialogs_.warn(window_, tr("Search"), refused);
        return;
    }
    const int current = deck_.placeseek();
    const search::Options stored = search::storedOptions(options_);
    // Removing duplicates from the combined view of subcategory mode, which
    // is never written back, would later bring copies back with Undelete.
    SearchDlg dialog(options_.LastSearch, stored, deck_.viewCount(), current + 1, !deck_.showSubCategories(),
                     window_);
    const auto finish = [this, &dialog] {
        // The boxes are kept only when the search ends the dialog.
        search::storeOptions(options_, dialog.options());
        dialog.accept();
    };
    connect(&dialog, &SearchDlg::beginSearchRequested, this, [this, &dialog, finish] {
        WaitCursor wait;
        const search::ClickProgress progress{[&dialog](const QString &what) { dialog.setSearchingFor(what); },
                                             [&dialog](int cards) { dialog.setTotalCards(cards); },
                                             [&dialog](int card) { dialog.setScanning(card); }};
        const QString pattern = dialog.searchText().left(search::kPatternChars);
        const search::Click click = search::beginSearch(
            deck_, {dialog.deleteDuplicatesOnSide1(), dialog.deleteDuplicatesOnSide2()}, pattern, dialog.options(),
            progress);
        if (!click.searched) {
            if (click.removed)
                finish();
            return;
        }
        if (!click.found) {
            dialogs_.warn(&dialog, tr("Search for Card"), tr("Card not found."));
            return;
        }
        options_.LastSearch = pattern;
        finish();
    });
    connect(&dialog, &SearchDlg::extendedCharsRequested, this, [&dialog] {
        LineEditTarget target(dialog.searchEdit());
        ExtendedDlg palette(target, &dialog);
        palette.exec();
    });
    connect(&dialog, &SearchDlg::helpRequested, this, [this, &dialog] { Q_EMIT helpRequested(help::Search, &dialog); });
    dialog.exec();
}

void SearchController::SearchAgain()
{
    const QString pattern = options_.LastSearch;
    if (!pattern.isEmpty()) {
        std::optional<search::Found> found;
        {
            WaitCursor wait;
            found = search::scan(deck_, deck_.placeseek(), pattern, search::storedOptions(options_));
        }
        const QString quoted = QLatin1Char('"') + pattern + QLatin1Char('"');
        if (found) {
            deck_.setCurrentCard(found->card, found->side);
            Q_EMIT statusMessage(tr("Found ") + quoted);
        } else {
            dialogs_.warn(window_, tr("Search for Card Again"), quoted + tr(" was not found."));
        }
    }
}

void SearchController::ShuffleCards()
{
    if (const QString refused = shuffle::shuffleRefusal(deck_); !refused.isEmpty()) {
        dialogs_.warn(window_, tr("Shuffle Cards"), refused);
        return;
    }
    // A stored choice from outside the four orders counts as Random.
    if (options_.shuffletype < 0 || options_.shuffletype > 3)
        options_.shuffletype = int(shuffle::Order::Random);
    ShuffleDlg dialog(options_.shuffletype, window_);
    // A choice counts at once, even when the dialog is then cancelled.
    connect(&dialog, &ShuffleDlg::shuffletypeChosen, this, [this](int type) { options_.shuffletype = type; });
    connect(&dialog, &ShuffleDlg::okRequested, this, [this, &dialog] {
        {
            WaitCursor wait;
            shuffle::shuffleView(deck_, shuffle::Order(options_.shuffletype), rng_, QLocale(),
                                 [&dialog](shuffle::Phase phase, int value) {
                                     dialog.setOperation(shuffle::phaseText(phase));
                                     dialog.setProgress(value);
                                 });
        }
        dialog.accept();
    });
    connect(&dialog, &ShuffleDlg::helpRequested, this, [this, &dialog] { Q_EMIT helpRequested(help::Shuffle, &dialog); });
    dialog.exec();
}

void SearchController::Flip()
{
    if (const QString refused = shuffle::flipRefusal(deck_); !refused.isEmpty()) {
        dialogs_.warn(window_, tr("Flip"), refused);
        return;
    }
    shuffle::flip(deck_);
    Q_EMIT statusMessage(tr("Cards flipped"));
}

} // namespace mdk
