// Timings of the card commands on a view of 1,000,000 cards with 10,000
// marks: delete, cut, paste, undelete one and edit one card each (the
// argument is the card's place: the second card or the middle one), and
// undelete all of 1,000,000 deleted cards. The rules are called exactly as
// the Edit commands call them. Beside the mean, each reports the slowest
// single run (max_ms), because a command must never stall the window, not
// just be fast on average: a vector that has to grow shows up there.

#include "core/deck/deck.h"
#include "core/edit/cardedit.h"

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

using benchsupport::timedThenRestore;

namespace {

constexpr int kCards = 1'000'000;
constexpr int kMarks = 10'000;

// Texts of the length a vocabulary deck has, each its own.
QString side1Text(int k) { return QStringLiteral("question %1 of the deck").arg(k); }
QString side2Text(int k) { return QStringLiteral("answer %1, with a few more words").arg(k); }

// Every hundredth card marked, from card 50 on, so the cards at the front
// (where the commands below work, the dearest place in a list) are not.
void markSpread(mdk::Deck &deck)
{
    deck.clearMarks();
    for (int i = 0; i < kMarks && i * 100 + 50 < deck.viewCount(); ++i)
        deck.addMark(i * 100 + 50);
}

// A deck as a file read leaves it, "Main" open holding every card, then
// marked; deleted cards as asked.
void makeDeck(mdk::Deck &deck, int deleted)
{
    deck.clear();
    for (int k = 0; k < kCards + deleted; ++k)
        deck.appendFileCard(side1Text(k), side2Text(k), mdk::CategoryTree::kMainName);
    deck.LoadView(mdk::CategoryTree::kMainName);
    deck.ResetCurrentCard();
    // The last cards of the view go to the deleted cards.
    while (deck.viewCount() > kCards)
        deck.RemoveViewCard(deck.viewCount() - 1);
    markSpread(deck);
}



// The current card (or deleted card) each command works on: the first
// place is the dearest for a plain array, the middle one for a list that
// moves the shorter side.
int position(const benchmark::State &state) { return int(state.range(0)); }

void deleteCurrent(benchmark::State &state)
{
    mdk::Deck deck;
    makeDeck(deck, 0);
    const int at = position(state);
    deck.setCurrentCard(at, deck.side());
    timedThenRestore(
        state,
        [&] {
            if (mdk::edit::mayDelete(deck))
                mdk::edit::deleteCard(deck, deck.placeseek());
            benchmark::DoNotOptimize(deck.placeseek());
        },
        [&] {
            // The same current card again, and the deleted card back at the
            // end so that the view keeps its size and its marks.
            deck.setCurrentCard(at, 0);
            mdk::edit::undeleteCard(deck, deck.deletedCount() - 1);
            markSpread(deck);
        });
}

void cutCurrent(benchmark::State &state)
{
    mdk::Deck deck;
    mdk::edit::CopyMemory memory;
    makeDeck(deck, 0);
    const int at = position(state);
    timedThenRestore(
        state,
        [&] {
            mdk::edit::cutCard(deck, at, memory);
            benchmark::DoNotOptimize(deck.placeseek());
        },
        [&] {
            deck.setCurrentCard(deck.viewCount(), deck.side());
            mdk::edit::pasteCard(deck, memory);
            markSpread(deck);
        });
}

void pasteBeforeCurrent(benchmark::State &state)
{
    mdk::Deck deck;
    mdk::edit::CopyMemory memory;
    makeDeck(deck, 0);
    mdk::edit::copyCard(deck, 7, memory);
    const int at = position(state);
    timedThenRestore(
        state,
        [&] {
            deck.setCurrentCard(at, deck.side());
            mdk::edit::pasteCard(deck, memory);
            benchmark::DoNotOptimize(deck.placeseek());
        },
        [&] {
            QString s1, s2;
            deck.takeViewCard(deck.viewCount() - 1, s1, s2);
            markSpread(deck);
        });
}

// One of 1,000,000 deleted cards.
void undeleteOne(benchmark::State &state)
{
    mdk::Deck deck;
    makeDeck(deck, kCards);
    const int at = position(state);
    timedThenRestore(
        state,
        [&] {
            mdk::edit::undeleteCard(deck, at);
            benchmark::DoNotOptimize(deck.viewCount());
        },
        [&] {
            deck.RemoveViewCard(deck.viewCount() - 1);
            markSpread(deck);
        });
}

void editCurrent(benchmark::State &state)
{
    mdk::Deck deck;
    makeDeck(deck, 0);
    const int at = position(state);
    const QString s1 = QStringLiteral("edited side 1"), s2 = QStringLiteral("edited side 2");
    timedThenRestore(
        state,
        [&] {
            mdk::edit::editCard(deck, at, s1, s2);
            benchmark::DoNotOptimize(deck.viewCount());
        },
        [] {});
}

// Undelete all with 1,000,000 cards in the view and 1,000,000 deleted.
void undeleteAll(benchmark::State &state)
{
    mdk::Deck deck;
    makeDeck(deck, kCards);
    timedThenRestore(
        state,
        [&] {
            mdk::edit::undeleteAll(deck);
            benchmark::DoNotOptimize(deck.viewCount());
        },
        [&] {
            while (deck.viewCount() > kCards)
                deck.RemoveViewCard(deck.viewCount() - 1);
            markSpread(deck);
        });
}

struct Target {
    const char *name;
    void (*fn)(benchmark::State &);
    double ms;
    int iterations;
};

// Fixed iteration counts, so that the slowest run is taken from the same
// number of runs every time.
const Target kTargets[] = {{"delete", deleteCurrent, 10, 300},      {"cut", cutCurrent, 10, 300},
                           {"paste", pasteBeforeCurrent, 10, 300},  {"undelete_one", undeleteOne, 10, 300},
                           {"edit", editCurrent, 10, 300},          {"undelete_all", undeleteAll, 100, 30}};


} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    for (const Target &t : kTargets) {
        auto *b = benchmark::RegisterBenchmark(t.name, t.fn)
                      ->Unit(benchmark::kMillisecond)
                      ->UseManualTime()
                      ->Iterations(t.iterations);
        if (t.fn == undeleteAll)
            b->Arg(0);
        else
            b->Arg(1)->Arg(kCards / 2);
    }
    std::vector<benchsupport::TargetReporter::Target> targets;
    for (const Target &t : kTargets)
        targets.push_back({t.name, t.ms});
    benchsupport::TargetReporter reporter(targets, "command/card");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
