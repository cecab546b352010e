#pragma once

#include "fsrs.h"

#include <QDateTime>
#include <QtGlobal>

#include <functional>

namespace mdk::review {

// Leitner boxes: a card answered right moves up one box, a card answered
// wrong goes back to the first; each box waits twice as long as the one
// below it before the card is asked again.
inline constexpr int kBoxes = 5;

// Days a card in box (1 .. kBoxes) waits: 1, 2, 4, 8, 16.
int intervalDays(int box);

// What is known of one card. Box 0: never reviewed (it counts as box 1 when
// first answered). Days are Julian day numbers of the local date, so a card
// due "tomorrow" is due all of tomorrow, whatever the hour it was answered.
struct CardState {
    int box = 0;
    qint64 dueDay = 0;
    // The memory model's phase (fsrs::State) and due day, kept beside the
    // boxes so either scheduler can be chosen at any time. The store hands
    // out the chosen one's as box and dueDay (see ProgressStore::scheduled).
    int phase = 0;
    qint64 memoryDueDay = 0;

    bool isNew() const { return box == 0; }
    bool isDue(qint64 today) const { return box > 0 && dueDay <= today; }
    friend bool operator==(const CardState &, const CardState &) = default;
};

// One answer as it was kept: the card's state before and after, and the
// stored review's number (0 when it was not kept).
struct Answer {
    CardState before, after; // as the chosen scheduler sees them
    qint64 review = 0;
    // Both schedulers' states as stored, to take the answer back.
    CardState storedBefore, storedAfter;
    fsrs::Card memoryBefore, memoryAfter;
    int grade = 0; // 1..4 (Again..Easy); 0 for a two-button answer's box alone
};

// The card's state after an answer given on day today.
CardState answer(CardState state, bool knew, qint64 today);

// The clock every rule reads, injected so tests can move through days.
using Clock = std::function<QDateTime()>;
Clock systemClock();
qint64 dayOf(const QDateTime &time);
// The review day of time when a new day starts at dayStartHour (0..23):
// at 4, an answer at 01:30 belongs to the day before.
qint64 dayOf(const QDateTime &time, int dayStartHour);

} // namespace mdk::review
