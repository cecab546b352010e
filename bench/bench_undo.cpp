// Undo and redo on a 1,000,000-card deck: a single card's step, and the
// steps that touch every card of the view or of a category (Shuffle, Flip,
// Delete duplicates, category Delete and Clear); then the history's memory
// after 200 mixed steps.

#include "core/category/categorycommands.h"
#include "core/deck/deck.h"
#include "core/edit/cardedit.h"
#include "core/exchange/exchange.h"
#include "core/search/search.h"
#include "core/search/shuffle.h"

#include <QLocale>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <chrono>
#include <functional>
#include <random>

namespace {

using namespace mdk;

constexpr int kCards = 1'000'000;
constexpr int kBig = 100'000; // the cards of the category deleted

// 900,000 cards in "Main" (every tenth text repeated, for the duplicate
// search) and 100,000 in "Big"; "Main" open, as after reading the file.
void fill(Deck &deck)
{
    const Deck::Unrecorded reading(deck);
    deck.clear();
    deck.addCategory(deck.tree().root(), QStringLiteral("Big"));
    deck.reserveFileCards(kCards);
    for (int j = 0; j < kCards; ++j) {
        const int text = j % 10 == 9 ? j - 1 : j;
        deck.appendFileCard(QStringLiteral("question %1").arg(text), QStringLiteral("answer %1").arg(text),
                            j < kCards - kBig ? QStringLiteral("Main") : QStringLiteral("Big"));
    }
    deck.LoadView(CategoryTree::kMainName);
    deck.markSaved();
}

void build(Deck &deck)
{
    fill(deck);
    deck.setHistoryEnabled(true);
}

Deck &fresh()
{
    static Deck deck;
    build(deck);
    return deck;
}

// Makes the step once, then times its undo (or redo) over and over.
void undoRedo(benchmark::State &state, const std::function<void(Deck &)> &step, bool timeRedo)
{
    Deck &deck = fresh();
    deck.beginStep(QStringLiteral("step"));
    step(deck);
    deck.endStep();
    if (!deck.canUndo()) {
        state.SkipWithError("the step changed nothing");
        return;
    }
    for (auto _ : state) {
        if (timeRedo) {
            state.PauseTiming();
            deck.undo();
            state.ResumeTiming();
            deck.redo();
        } else {
            deck.undo();
            state.PauseTiming();
            deck.redo();
            state.ResumeTiming();
        }
    }
}

void deleteCard(Deck &deck) { edit::deleteCard(deck, 123'456); }
void editCard(Deck &deck) { edit::editCard(deck, 123'456, QStringLiteral("new"), QStringLiteral("text")); }
void shuffleCards(Deck &deck)
{
    std::mt19937_64 rng(7);
    shuffle::shuffleView(deck, shuffle::Order::Random, rng, QLocale::c());
}
void flipCards(Deck &deck) { shuffle::flip(deck); }
void deleteDuplicates(Deck &deck) { search::removeDuplicates(deck, 0); }
void deleteCategory(Deck &deck) { category::deleteCategory(deck, deck.tree().findByName(QStringLiteral("Big"))); }
void clearCategory(Deck &deck) { category::clearCategory(deck); }

#define UNDO_REDO(name, step)                                                                                        \
    void undo_##name(benchmark::State &state) { undoRedo(state, step, false); }                                     \
    void redo_##name(benchmark::State &state) { undoRedo(state, step, true); }                                      \
    BENCHMARK(undo_##name)->Unit(benchmark::kMillisecond)->Iterations(5);                                         \
    BENCHMARK(redo_##name)->Unit(benchmark::kMillisecond)->Iterations(5)

UNDO_REDO(delete_card, deleteCard);
UNDO_REDO(edit_card, editCard);
UNDO_REDO(shuffle, shuffleCards);
UNDO_REDO(flip, flipCards);
UNDO_REDO(delete_duplicates, deleteDuplicates);
UNDO_REDO(delete_category, deleteCategory);
UNDO_REDO(clear_category, clearCategory);

// What the history adds to a move between categories ("Main" with its
// 900,000 cards to "Big" and back), with the history on and off.
void category_switch(benchmark::State &state)
{
    Deck &deck = fresh();
    deck.setHistoryEnabled(state.range(0) != 0);
    const CategoryTree::NodeId big = deck.tree().findByName(QStringLiteral("Big"));
    for (auto _ : state) {
        deck.selectCategory(big);
        deck.OpenCategory();
        deck.selectCategory(deck.tree().root());
        deck.OpenCategory();
    }
    state.counters["history_MB"] = double(deck.historyBytes()) / 1e6;
}
BENCHMARK(category_switch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);

// Undo after moving between categories since the step: moves that come
// back to a place already reached are dropped, so the time stays that of
// at most two round trips however many there were.
void undo_after_switches(benchmark::State &state)
{
    Deck &deck = fresh();
    const CategoryTree::NodeId big = deck.tree().findByName(QStringLiteral("Big"));
    deck.beginStep(QStringLiteral("step"));
    editCard(deck);
    deck.endStep();
    for (auto _ : state) {
        state.PauseTiming();
        for (int64_t i = 0; i < state.range(0); ++i) {
            deck.selectCategory(big);
            deck.OpenCategory();
            deck.selectCategory(deck.tree().root());
            deck.OpenCategory();
        }
        state.ResumeTiming();
        deck.undo();
        state.PauseTiming();
        deck.redo();
        state.ResumeTiming();
    }
}
BENCHMARK(undo_after_switches)->Arg(1)->Arg(10)->Arg(30)->Unit(benchmark::kMillisecond)->Iterations(3);

// 200 steps as a user might make them: mostly single cards, with a few
// category changes in between, and now and then a step over every card
// (three shuffles, a flip, a duplicate search). Reports what the history
// holds and how much the heap grew.
void history_after_200_steps(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        Deck &deck = fresh();
        const size_t heapBefore = mallinfo2().uordblks;
        std::mt19937_64 rng(11);
        edit::CopyMemory memory;
        state.ResumeTiming();
        for (int s = 0; s < 200; ++s) {
            if (s % 40 == 20) {
                // A look into "Big" and back between steps.
                deck.selectCategory(deck.tree().findByName(QStringLiteral("Big")));
                deck.OpenCategory();
                deck.selectCategory(deck.tree().root());
                deck.OpenCategory();
            }
            deck.beginStep(QStringLiteral("step"));
            const int k = int(rng() % quint64(deck.viewCount()));
            switch (s % 50 == 7 ? 0 : s % 50 == 17 ? 1 : s % 50 == 37 ? 2 : 3 + int(rng() % 4)) {
            case 0: shuffleCards(deck); break;
            case 1: flipCards(deck); break;
            case 2: search::removeDuplicates(deck, 1); break;
            case 3: edit::deleteCard(deck, k); break;
            case 4: edit::editCard(deck, k, QStringLiteral("edited %1").arg(s), QStringLiteral("text")); break;
            case 5: edit::addCard(deck, QStringLiteral("added %1").arg(s), QStringLiteral("card")); break;
            default:
                edit::cutCard(deck, k, memory);
                break;
            }
            deck.endStep();
        }
        state.PauseTiming();
        state.counters["steps"] = deck.undoSteps();
        state.counters["history_MB"] = double(deck.historyBytes()) / 1e6;
        state.counters["heap_growth_MB"] = double(mallinfo2().uordblks - heapBefore) / 1e6;
        state.ResumeTiming();
    }
}
BENCHMARK(history_after_200_steps)->Unit(benchmark::kMillisecond)->Iterations(1);

// Six rounds of Shuffle and Flip in the combined view of all 1,000,000
// cards, each ended by leaving the mode: what the history holds, how much
// the heap grew, and how long the undo of the last leaving (with its flip)
// takes.
void subcategory_rounds(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        Deck &deck = fresh();
        const size_t heapBefore = mallinfo2().uordblks;
        std::mt19937_64 rng(3);
        state.ResumeTiming();
        for (int round = 0; round < 6; ++round) {
            for (int s = 0; s < 4; ++s) {
                deck.beginStep(QStringLiteral("step"));
                if (s == 0 || s == 3)
                    deck.ToggleSubcategoryMode();
                else if (s == 1)
                    shuffle::shuffleView(deck, shuffle::Order::Random, rng, QLocale::c());
                else
                    shuffle::flip(deck);
                deck.endStep();
            }
        }
        state.PauseTiming();
        state.counters["history_MB"] = double(deck.historyBytes()) / 1e6;
        state.counters["heap_growth_MB"] = double(mallinfo2().uordblks - heapBefore) / 1e6;
        const auto start = std::chrono::steady_clock::now();
        deck.undo();
        state.counters["undo_ms"] = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        state.ResumeTiming();
    }
}
BENCHMARK(subcategory_rounds)->Unit(benchmark::kMillisecond)->Iterations(1);

// An import that makes 10,000 categories, each with a card, below "Main"
// of a small deck: the step, what the history holds, its undo and redo.
void import_many_categories(benchmark::State &state)
{
    exchange::ParsedImport parsed;
    for (int c = 0; c < 10'000; ++c) {
        parsed.categories.push_back({QStringLiteral("category %1").arg(c), c % 10 == 0 ? -1 : c - 1});
        parsed.cards.push_back({QStringLiteral("q%1").arg(c), QStringLiteral("a%1").arg(c), c});
    }
    for (auto _ : state) {
        state.PauseTiming();
        Deck deck;
        deck.setHistoryEnabled(true);
        const size_t heapBefore = mallinfo2().uordblks;
        state.ResumeTiming();
        deck.beginStep(QStringLiteral("Import"));
        exchange::applyImport(parsed, deck, CategoryTree::kMainName, exchange::Duplicates::Add);
        deck.endStep();
        state.PauseTiming();
        state.counters["history_MB"] = double(deck.historyBytes()) / 1e6;
        state.counters["heap_growth_MB"] = double(mallinfo2().uordblks - heapBefore) / 1e6;
        auto start = std::chrono::steady_clock::now();
        deck.undo();
        state.counters["undo_ms"] = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        start = std::chrono::steady_clock::now();
        deck.redo();
        state.counters["redo_ms"] = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        state.ResumeTiming();
    }
}
BENCHMARK(import_many_categories)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
