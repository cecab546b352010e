// Timings of Shuffle (each order) and Flip on a view of 1,000,000 cards,
// called exactly as the Shuffle dialog's OK and the Flip command call them,
// progress reports included. Side 1 holds short random words in mixed case
// with some accented letters, as a vocabulary deck does; Alphabetize also
// runs on the texts of a generated card file (`mdktool generate`). Beside the mean,
// each reports the slowest single run (max_ms).

#include "core/deck/deck.h"
#include "core/search/shuffle.h"

#include "benchsupport.h"
#include "generateddeck.h"

#include <benchmark/benchmark.h>

#include <QLocale>

#include <algorithm>
#include <chrono>
#include <random>

using benchsupport::timed;

namespace {

constexpr int kCards = 1'000'000;

QString randomWord(std::mt19937_64 &rng)
{
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZéèàüöäßçñ  ");
    std::uniform_int_distribution<int> length(3, 24);
    std::uniform_int_distribution<int> letter(0, int(letters.size()) - 1);
    QString word;
    for (int i = length(rng); i > 0; --i)
        word.append(letters[letter(rng)]);
    return word;
}

// Built once: "Main" open holding every card, as a file read leaves it.
mdk::Deck &bigDeck()
{
    static mdk::Deck deck = [] {
        mdk::Deck d;
        std::mt19937_64 rng(1234);
        for (int k = 0; k < kCards; ++k)
            d.appendFileCard(randomWord(rng), QStringLiteral("answer %1, with a few words").arg(k),
                             mdk::CategoryTree::kMainName);
        d.LoadView(mdk::CategoryTree::kMainName);
        d.ResetCurrentCard();
        return d;
    }();
    return deck;
}



// The same, on the texts of a generated card file.
mdk::Deck &generatedDeck()
{
    static mdk::Deck deck = benchsupport::generatedMainDeck(kCards);
    return deck;
}

// The dialog's progress bar, reduced to remembering the value.
int barValue = 0;
void onProgress(mdk::shuffle::Phase, int value) { barValue = value; }

void shuffleDeck(benchmark::State &state, mdk::Deck &deck, const mdk::Deck &asRead, mdk::shuffle::Order order,
                 const QLocale &locale, bool scrambled = false)
{
    std::mt19937_64 rng(42);
    // Alphabetize starts from the view as read each time (sorting a sorted
    // view would flatter it), or from a view just shuffled at random, whose
    // texts then lie scattered in memory.
    const bool restart = order == mdk::shuffle::Order::Alphabetize;
    timed(
        state, [&] { mdk::shuffle::shuffleView(deck, order, rng, locale, onProgress); },
        [&] {
            if (!restart)
                return;
            deck = asRead;
            if (scrambled)
                mdk::shuffle::shuffleView(deck, mdk::shuffle::Order::Random, rng, locale);
        });
    benchmark::DoNotOptimize(deck.viewSide1(0));
}

void shuffle(benchmark::State &state, mdk::shuffle::Order order, const QLocale &locale, bool scrambled = false)
{
    static const mdk::Deck asRead = bigDeck();
    shuffleDeck(state, bigDeck(), asRead, order, locale, scrambled);
}

void alphabetizeGenerated(benchmark::State &state, const QLocale &locale)
{
    static const mdk::Deck asRead = generatedDeck();
    shuffleDeck(state, generatedDeck(), asRead, mdk::shuffle::Order::Alphabetize, locale);
}
void alphabetizeGeneratedEnglish(benchmark::State &state)
{
    alphabetizeGenerated(state, QLocale(QLocale::English, QLocale::UnitedStates));
}
void alphabetizeGeneratedC(benchmark::State &state) { alphabetizeGenerated(state, QLocale::c()); }

void reverse(benchmark::State &state) { shuffle(state, mdk::shuffle::Order::Reverse, QLocale::c()); }
void pattern(benchmark::State &state) { shuffle(state, mdk::shuffle::Order::Pattern, QLocale::c()); }
void random(benchmark::State &state) { shuffle(state, mdk::shuffle::Order::Random, QLocale::c()); }
void alphabetizeEnglish(benchmark::State &state)
{
    shuffle(state, mdk::shuffle::Order::Alphabetize, QLocale(QLocale::English, QLocale::UnitedStates));
}
void alphabetizeGerman(benchmark::State &state)
{
    shuffle(state, mdk::shuffle::Order::Alphabetize, QLocale(QLocale::German, QLocale::Germany));
}
void alphabetizeScrambled(benchmark::State &state)
{
    shuffle(state, mdk::shuffle::Order::Alphabetize, QLocale(QLocale::English, QLocale::UnitedStates), true);
}
void alphabetizeC(benchmark::State &state) { shuffle(state, mdk::shuffle::Order::Alphabetize, QLocale::c()); }

void flip(benchmark::State &state)
{
    mdk::Deck &deck = bigDeck();
    timed(state, [&] { mdk::shuffle::flip(deck); }, [] {});
    benchmark::DoNotOptimize(deck.viewSide1(0));
}

} // namespace

BENCHMARK(reverse)->Name("shuffle_reverse")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(pattern)->Name("shuffle_pattern")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(random)->Name("shuffle_random")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(alphabetizeEnglish)->Name("shuffle_alphabetize_en_US")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(alphabetizeGerman)->Name("shuffle_alphabetize_de_DE")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(alphabetizeScrambled)->Name("shuffle_alphabetize_en_US_after_random")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(alphabetizeC)->Name("shuffle_alphabetize_C")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(alphabetizeGeneratedEnglish)->Name("shuffle_alphabetize_generated_en_US")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(alphabetizeGeneratedC)->Name("shuffle_alphabetize_generated_C")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(flip)->Name("flip")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

BENCHMARK_MAIN();
