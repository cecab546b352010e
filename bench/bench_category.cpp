// Timings of the category commands on 1,000,000 cards in 1,000 categories:
// Delete of a category with its subtree (488 categories, 440,000 cards)
// including the sweep, Clear of a view of 100,000 cards, Rename
// of an open category, New. Each op is timed alone (manual time); the deck
// is restored from a copy between runs, outside the timing.

#include "core/category/categorycommands.h"
#include "core/deck/deck.h"

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <chrono>

using benchsupport::timedThenRestore;

namespace {

constexpr int kCards = 1'000'000;
constexpr int kCategories = 1'000; // with "Main"

using mdk::CategoryTree;
using mdk::Deck;

QString categoryName(int i) { return i == 0 ? CategoryTree::kMainName : QStringLiteral("category %1").arg(i); }

// Node i hangs under node (i - 1) / 8: a tree eight wide and four deep.
// Every tenth card is in "Main" (100,000), one in a thousand is an orphan,
// the rest spread over the other categories. The view of "Main" is loaded,
// as after reading a file.
const Deck &baseDeck()
{
    static const Deck deck = [] {
        Deck d;
        for (int i = 1; i < kCategories; ++i)
            d.addCategory((i - 1) / 8, categoryName(i));
        d.reserveFileCards(kCards);
        for (int j = 0; j < kCards; ++j) {
            const QString cat = j % 10 == 0 ? categoryName(0)
                                : j % 1000 == 1 ? QStringLiteral("orphan")
                                                : categoryName(1 + j % (kCategories - 1));
            d.appendFileCard(QStringLiteral("question %1 of the deck").arg(j),
                             QStringLiteral("answer %1, with a few more words").arg(j), cat);
        }
        d.LoadView(CategoryTree::kMainName);
        d.ResetCurrentCard();
        return d;
    }();
    return deck;
}

Deck deckWithOpen(CategoryTree::NodeId node)
{
    Deck d = baseDeck();
    d.selectCategory(node);
    d.OpenCategory();
    return d;
}


// Node 1 with its subtree (488 nodes, with the orphans 440,000 cards) goes;
// node 2 is opened and every orphan swept.
void deleteCategory(benchmark::State &state)
{
    const Deck start = deckWithOpen(1);
    Deck deck = start;
    timedThenRestore(
        state,
        [&] {
            benchmark::DoNotOptimize(mdk::category::deleteCategory(deck, 1));
        },
        [&] { deck = start; });
    mdk::category::deleteCategory(deck, 1);
    state.counters["cards_removed"] = start.fileCount() - deck.fileCount();
    state.counters["nodes_removed"] = start.tree().nodeCount() - deck.tree().nodeCount();
}

// "Main" open with 100,000 cards: all of them to the deleted cards.
void clearCategory(benchmark::State &state)
{
    const Deck start = baseDeck();
    Deck deck = start;
    timedThenRestore(
        state, [&] { mdk::category::clearCategory(deck); }, [&] { deck = start; });
    state.counters["cleared"] = start.viewCount();
}

// An open leaf category (about 1,000 cards) renamed back and forth; each
// rename writes the view back and relabels the file's cards.
void renameCategory(benchmark::State &state)
{
    const CategoryTree::NodeId leaf = kCategories - 1;
    Deck deck = deckWithOpen(leaf);
    const QString names[2] = {QStringLiteral("renamed"), categoryName(leaf)};
    int turn = 0;
    timedThenRestore(
        state, [&] { mdk::category::renameCategory(deck, leaf, names[turn]); }, [&] { turn ^= 1; });
}

void newCategory(benchmark::State &state)
{
    Deck deck = deckWithOpen(5);
    int n = 0;
    const QStringList names = [&] {
        QStringList out;
        for (int i = 0; i < 100'000; ++i)
            out << QStringLiteral("new %1").arg(i);
        return out;
    }();
    timedThenRestore(
        state, [&] { benchmark::DoNotOptimize(mdk::category::newCategory(deck, 5, names[n % names.size()])); },
        [&] { ++n; });
}

} // namespace

BENCHMARK(deleteCategory)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(clearCategory)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(renameCategory)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(newCategory)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1000);

BENCHMARK_MAIN();
