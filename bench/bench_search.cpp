// Search and duplicate removal on one view of 1,000,000 cards: a search
// that finds nothing (so it reads every side of every card) with and
// without case and whole words, for a pattern whose first letter is rare
// and one whose first letter is the commonest; and the removal of the
// duplicates on side 1 (a third of the cards are copies) and on side 2
// (every text differs). Each reports its mean and slowest run against its
// target.

#include "core/deck/deck.h"
#include "core/search/search.h"

#include "benchsupport.h"
#include "generateddeck.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <string>

using benchsupport::timed;

namespace {

constexpr int kCards = 1'000'000;

// Words of a vocabulary deck, a few with accented letters, so the texts
// hold every kind of unit the matcher meets.
const char16_t *const kWords[] = {u"the",  u"house", u"to go",   u"green",  u"über",   u"café",  u"river",
                                  u"tree", u"water", u"learned", u"écrire", u"quiet",  u"road",  u"stone",
                                  u"bell", u"night", u"morning", u"friend", u"forest", u"cloud", u"garden"};

QString sentence(std::mt19937_64 &rng, int words)
{
    QString text;
    for (int w = 0; w < words; ++w) {
        if (w)
            text += u' ';
        text += QString::fromUtf16(kWords[rng() % std::size(kWords)]);
    }
    return text;
}

// Side 1: two words and a number from a range two thirds the size of the
// deck, so about a third of the cards repeat an earlier side 1. Side 2: a
// longer text, numbered by card, so no two are equal. About 50 characters a
// card in all.
const mdk::Deck &sharedDeck()
{
    static mdk::Deck deck = [] {
        mdk::Deck d;
        std::mt19937_64 rng(42);
        for (int k = 0; k < kCards; ++k) {
            const QString side1 = sentence(rng, 2) + u' ' + QString::number(rng() % (kCards * 2 / 3));
            const QString side2 = sentence(rng, 4) + u' ' + QString::number(k);
            d.appendFileCard(side1, side2, mdk::CategoryTree::kMainName);
        }
        d.LoadView(mdk::CategoryTree::kMainName);
        d.ResetCurrentCard();
        return d;
    }();
    return deck;
}



// "zq" begins with a letter no word holds; "early bird" with the commonest.
const QString kPatterns[] = {QStringLiteral("zq not there"), QStringLiteral("early bird")};

void searchNothing(benchmark::State &state)
{
    const mdk::Deck &deck = sharedDeck();
    const QString &pattern = kPatterns[state.range(0)];
    const mdk::search::Options options{state.range(1) != 0, state.range(2) != 0};
    timed(
        state,
        [&] {
            const auto found = mdk::search::scan(deck, 0, pattern, options);
            if (found)
                state.SkipWithError("found a text that is not there");
            benchmark::DoNotOptimize(found);
        },
        [] {});
}

void removeDuplicatesFrom(benchmark::State &state, const mdk::Deck &from)
{
    const int side = int(state.range(0));
    mdk::Deck deck;
    timed(
        state,
        [&] { benchmark::DoNotOptimize(mdk::search::removeDuplicates(deck, side)); },
        [&] { deck = from; });
}

void removeDuplicates(benchmark::State &state) { removeDuplicatesFrom(state, sharedDeck()); }

// On the texts of a generated card file, where a sixth of the side-1 texts
// repeat an earlier one.
void removeDuplicatesGenerated(benchmark::State &state)
{
    static const mdk::Deck deck = benchsupport::generatedMainDeck(kCards);
    removeDuplicatesFrom(state, deck);
}



} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    // pattern (0 rare first letter, 1 common), case sensitive, whole words
    benchmark::RegisterBenchmark("search_nothing", searchNothing)
        ->ArgNames({"pattern", "case", "whole"})
        ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}})
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(10);
    benchmark::RegisterBenchmark("remove_duplicates", removeDuplicates)
        ->ArgName("side")
        ->Arg(0)
        ->Arg(1)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(5);
    benchmark::RegisterBenchmark("remove_duplicates_generated", removeDuplicatesGenerated)
        ->ArgName("side")
        ->Arg(0)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(5);
    benchsupport::TargetReporter reporter({{"search_nothing", 150}, {"remove_duplicates", 300}, {"remove_duplicates_generated", 300}}, "operation");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
