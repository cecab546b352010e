#include "printjob.h"

#include "core/deck/deck.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

namespace mdk::print {

int cardsPerPage(bool cardFormat)
{
    return cardFormat ? 3 : 23;
}

int pageCount(int cards, bool cardFormat)
{
    if (cards <= 0)
        return 0;
    const int per = cardsPerPage(cardFormat);
    return (cards + per - 1) / per;
}

void beginPrintCommand(Deck &deck)
{
    const bool mainToMain =
        deck.tree().selectedName() == CategoryTree::kMainName && deck.oldTreeName() == CategoryTree::kMainName;
    // Opening another category folds the view back on its way; from "Main"
    // to "Main" the open does nothing, so the fold is done here, or an
    // all-cards printout would miss the edits made in "Main" since the last
    // fold.
    if (mainToMain)
        deck.WriteBackView();
    else
        deck.OpenCategory();
}

namespace {

// True when a file-level card belongs to a descendant of the selected
// category. One pass over the cards: the deck keeps each category name
// once, so most cards are decided by comparing the address of their name
// with the previous card's.
bool cardsBelowSelection(const Deck &deck)
{
    const CategoryTree &tree = deck.tree();
    if (!tree.isValid(tree.selected()))
        return false;
    const std::vector<CategoryTree::NodeId> below = tree.descendants(tree.selected());
    if (below.empty())
        return false;
    QSet<QString> names;
    names.reserve(qsizetype(below.size()));
    for (CategoryTree::NodeId n : below)
        names.insert(tree.name(n));

    QHash<const QString *, bool> known;
    const QString *last = nullptr;
    bool lastBelow = false;
    const int n = deck.fileCount();
    for (int j = 0; j < n; ++j) {
        const QString *name = &deck.fileCategory(j);
        if (name != last) {
            auto it = known.constFind(name);
            if (it == known.cend())
                it = known.insert(name, names.contains(*name));
            last = name;
            lastBelow = it.value();
        }
        if (lastBelow)
            return true;
    }
    return false;
}

} // namespace

DialogStart dialogStart(const Deck &deck, int savedScope)
{
    DialogStart start;
    const bool viewEmpty = deck.viewCount() == 0;
    start.haveFoundCards = !viewEmpty || cardsBelowSelection(deck);
    start.scope = savedScope;
    if (start.scope < AllCards || start.scope > CategoryAndSubs)
        start.scope = AllCards;
    if (viewEmpty && start.haveFoundCards && start.scope == ThisCategory)
        start.scope = CategoryAndSubs;
    if (!start.haveFoundCards)
        start.scope = AllCards;
    return start;
}

QString refusal(const Deck &deck, int scope, bool haveFoundCards)
{
    switch (scope) {
    case ThisCategory:
        return deck.viewCount() > 0 ? QString() : kNoCardsInCategory;
    case CategoryAndSubs:
        return haveFoundCards ? QString() : kNoCardsBelow;
    default:
        return deck.fileCount() > 0 ? QString() : kNoCards;
    }
}

std::vector<PrintCard> cardsToPrint(const Deck &deck, int scope)
{
    std::vector<PrintCard> cards;
    if (scope == ThisCategory) {
        cards.reserve(size_t(deck.viewCount()));
        for (int k = 0; k < deck.viewCount(); ++k)
            cards.push_back({deck.viewSide1(k), deck.viewSide2(k)});
    } else if (scope == CategoryAndSubs) {
        const CategoryTree &tree = deck.tree();
        if (!tree.isValid(tree.selected()))
            return cards;
        for (const std::vector<int> &bucket : deck.cardsOfCategories(tree.preorder(tree.selected())))
            for (int j : bucket)
                cards.push_back({deck.fileSide1(j), deck.fileSide2(j)});
    } else {
        cards.reserve(size_t(deck.fileCount()));
        for (int j = 0; j < deck.fileCount(); ++j)
            cards.push_back({deck.fileSide1(j), deck.fileSide2(j)});
    }
    return cards;
}

JobScope::JobScope(Deck &deck, int scope) : deck_(deck), scope_(scope) {}

JobScope::~JobScope()
{
    if (scope_ == CategoryAndSubs)
        deck_.ResetCurrentCard();
}

QString headerText(const QString &displayName, int totalCards)
{
    return displayName + QString(15, QLatin1Char(' ')) + QCoreApplication::translate("Mnemodeck", "Total cards: ") + QString::number(totalCards);
}

QString documentTitle(const QString &windowTitle)
{
    return windowTitle.isEmpty() ? QCoreApplication::translate("Mnemodeck", "Mnemodeck - Untitled") : windowTitle;
}

} // namespace mdk::print
