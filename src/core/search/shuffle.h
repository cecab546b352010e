#pragma once

#include "core/deck/deck.h"

#include <QLocale>
#include <QString>

#include <functional>
#include <random>
#include <vector>

// Shuffle and flip of the view. Each order is computed as a permutation of
// view indexes and applied in one pass, so even alphabetizing a million
// cards is a sort, not a million list insertions.
namespace mdk::shuffle {

// The value is the stored setting "shuffletype".
enum class Order { Reverse = 0, Pattern = 1, Random = 2, Alphabetize = 3 };
enum class Phase { Formatting, Initializing, Shuffling, Reintegrating };

// The dialog's "Operation:" text of a phase.
QString phaseText(Phase phase);

// Why Shuffle, or Flip, cannot run on deck's view; empty when it can.
QString shuffleRefusal(const Deck &deck);
QString flipRefusal(const Deck &deck);

// The new view order: order[k] is the old index of the card that becomes
// card k.
std::vector<int> reverseOrder(int n);
// The first half (rounded up) dealt to the even places, the rest to the odd
// ones: 1, h + 1, 2, h + 2, ...
std::vector<int> patternOrder(int n);
// Fisher-Yates: every permutation equally likely.
std::vector<int> randomOrder(int n, std::mt19937_64 &rng);
// By side 1 in the locale's collation, without regard to letter case or
// numeric value; cards that compare equal keep their view order. A large
// view is shared with a second thread, unless secondThread is false.
// progress(step) is called on the caller's thread after each piece of its
// own work, step rising from 0 to 2n (keys made at n); a piece is at most
// 1/128 of a pass over the view.
std::vector<int> alphabetizeOrder(const Deck &deck, const QLocale &locale,
                                  const std::function<void(qint64 step)> &progress = {}, bool secondThread = true);

// The progress bar's value after step `step` of `steps` in a phase: the
// phase's percentage (truncated, at most 100) scaled into its share of the
// bar, a quarter each for Random's four phases, a third each otherwise.
int progressValue(Order order, Phase phase, int step, int steps);
// How many steps a phase of an order has for n cards (0: the order has no
// such phase).
int phaseSteps(Order order, Phase phase, int n);

// Shuffles the view: the new order, no marks, card 1 side 1 current, the
// deck changed. progress(phase, value) is called as each phase begins (with
// its starting value) and whenever the bar's value changes.
void shuffleView(Deck &deck, Order order, std::mt19937_64 &rng, const QLocale &locale,
                 const std::function<void(Phase, int)> &progress = {});

// Swaps the sides of every view card. Order, marks, the current card and
// side stay; the deck changed.
void flip(Deck &deck);

} // namespace mdk::shuffle
