#pragma once

// A literal, slow rendering of Shuffle: the two scratch lists filled with
// the free-slot filler, each card placed by deleting a slot's entry and
// inserting its text, Alphabetize's sorted list built by inserting every
// side-1 text at its sorted place and searched with FindExactString, then
// the columns appended back; the progress bar set after every step of every
// phase. The one deliberate departure, the same as the program's: a slot is
// known to be free by a flag, not by holding the filler's text.

#include "support/textlist.h"
#include "core/search/shuffle.h"

#include <QCollator>
#include <QStringList>

#include <cmath>
#include <utility>
#include <vector>

namespace mdk::reference {

inline const QString kFreeSlotFiller = QStringLiteral("This takes up space...");

struct LiteralShuffle {
    QStringList side1, side2;                        // the view after the shuffle
    std::vector<std::pair<shuffle::Phase, int>> bar; // every phase change and bar change
};

// The bar's share of each phase: percentage / divisor + offset.
struct BarShare {
    int divisor, offset;
};

inline BarShare barShare(shuffle::Order order, shuffle::Phase phase)
{
    using shuffle::Phase;
    if (order == shuffle::Order::Random) {
        switch (phase) {
        case Phase::Formatting: return {4, 0};
        case Phase::Initializing: return {4, 25};
        case Phase::Shuffling: return {4, 50};
        case Phase::Reintegrating: return {4, 75};
        }
    }
    switch (phase) {
    case Phase::Formatting: return {3, 0};
    case Phase::Initializing: break;
    case Phase::Shuffling: return {3, 33};
    case Phase::Reintegrating: return {3, 67};
    }
    return {3, 0};
}

// The dialog's operation text and progress bar as the loops drive them.
class LiteralBar {
public:
    LiteralBar(shuffle::Order order, std::vector<std::pair<shuffle::Phase, int>> &trace)
        : order_(order), trace_(trace)
    {
    }
    void startPhase(shuffle::Phase phase, int steps)
    {
        phase_ = phase;
        steps_ = steps;
        value_ = valueAt(0);
        trace_.push_back({phase, value_});
    }
    void step(int stepNumber)
    {
        const int v = valueAt(stepNumber);
        if (v != value_) {
            value_ = v;
            trace_.push_back({phase_, v});
        }
    }

private:
    int valueAt(int stepNumber) const
    {
        double percent = steps_ > 0 ? std::floor(double(stepNumber) * 100.0 / double(steps_)) : 0.0;
        if (percent > 100)
            percent = 100;
        const BarShare share = barShare(order_, phase_);
        return int(percent) / share.divisor + share.offset;
    }

    shuffle::Order order_;
    std::vector<std::pair<shuffle::Phase, int>> &trace_;
    shuffle::Phase phase_ = shuffle::Phase::Formatting;
    int steps_ = 0;
    int value_ = 0;
};

// Puts a text into slot i of a scratch list: the delete and insert of the
// list control.
inline void placeInSlot(TextList &list, int i, const QString &text)
{
    list.DeleteString(i);
    list.InsertString(text, i);
}

// The shuffle of the given view columns (for Random, only the bar).
inline LiteralShuffle literalShuffle(const QStringList &side1, const QStringList &side2, shuffle::Order order,
                                     const QLocale &locale)
{
    using shuffle::Order;
    using shuffle::Phase;
    LiteralShuffle result;
    LiteralBar bar(order, result.bar);
    const int n = int(side1.size());
    TextList TempList, TempList2;
    std::vector<bool> slotUsed(size_t(n), false);

    // Formatting: both scratch lists filled with the filler.
    bar.startPhase(Phase::Formatting, 2 * n);
    int step = 0;
    for (int i = 0; i < n; ++i) {
        TempList.AddString(kFreeSlotFiller);
        bar.step(++step);
    }
    for (int i = 0; i < n; ++i) {
        TempList2.AddString(kFreeSlotFiller);
        bar.step(++step);
    }

    TextList sorted; // Alphabetize's sorted list
    const int endlength = 2 * (n + 1);
    switch (order) {
    case Order::Random:
        // Its placements depend on the draws, so only its bar is rendered:
        // the number list filled, then one step per card.
        bar.startPhase(Phase::Initializing, n);
        for (int i = 1; i <= n; ++i)
            bar.step(i);
        bar.startPhase(Phase::Shuffling, n);
        for (int k = 0; k < n; ++k)
            bar.step(k + 1);
        break;
    case Order::Reverse:
    case Order::Pattern: {
        // The loop runs endlength / 2 = n + 1 times; its last pass places
        // nothing.
        bar.startPhase(Phase::Shuffling, endlength / 2);
        const int h = (n + 1) / 2;
        for (int k = 0; k < endlength / 2; ++k) {
            if (k < n) {
                const int slot = order == Order::Reverse ? n - 1 - k : (k < h ? 2 * k : 2 * (k - h) + 1);
                placeInSlot(TempList, slot, side1[k]);
                placeInSlot(TempList2, slot, side2[k]);
            }
            bar.step(k + 1);
        }
        break;
    }
    case Order::Alphabetize: {
        QCollator collator(locale);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(false);
        bar.startPhase(Phase::Shuffling, 2 * n);
        // The sorted list control: a new entry goes after the entries that
        // compare equal to it.
        for (int k = 0; k < n; ++k) {
            int at = sorted.GetCount();
            for (int i = 0; i < sorted.GetCount(); ++i) {
                if (collator.compare(side1[k], sorted.at(i)) < 0) {
                    at = i;
                    break;
                }
            }
            sorted.InsertString(side1[k], at);
            bar.step(k + 1);
        }
        for (int k = 0; k < n; ++k) {
            int i = sorted.FindExactString(side1[k], -1);
            while (slotUsed[size_t(i)])
                i = sorted.FindExactString(side1[k], i);
            placeInSlot(TempList, i, side2[k]);
            slotUsed[size_t(i)] = true;
            bar.step(n + k + 1);
        }
        break;
    }
    }

    // Reintegrating: the columns appended back slot by slot.
    bar.startPhase(Phase::Reintegrating, n);
    for (int k = 0; k < n; ++k) {
        if (order == Order::Alphabetize) {
            result.side1 << sorted.at(k);
            result.side2 << TempList.at(k);
        } else {
            result.side1 << TempList.at(k);
            result.side2 << TempList2.at(k);
        }
        bar.step(k + 1);
    }
    return result;
}

} // namespace mdk::reference
