#pragma once

#include "progressstore.h"
#include "round.h"

#include <vector>

namespace mdk {
class Deck;
}

namespace mdk::review {

// The view's cards as a round sees them: key, stored state, mark.
std::vector<Candidate> viewCandidates(const Deck &deck, ProgressStore &store);
// The view's unmarked cards' keys (the statistics of the open view).
std::vector<qint64> viewKeys(const Deck &deck);
// Every card of the file, in file order, as candidates and as keys.
std::vector<Candidate> fileCandidates(const Deck &deck, ProgressStore &store);
std::vector<qint64> fileKeys(const Deck &deck);

// The round's current card answered at now: the round moves on and the
// answer is stored (when it cannot be, the store stops saving and says so;
// the round still goes on). Returns the card's new state. A review never
// touches the deck.
// The new state is computed from the card's state stored at that moment.
CardState answerCard(Round &round, bool knew, ProgressStore &store, qint64 deck, const QDateTime &now,
                     int dayStartHour = 0);
// The same with a grade of the memory model. With that scheduler chosen, a
// card whose learning step falls due today comes back at the round's end.
CardState answerCard(Round &round, fsrs::Grade grade, ProgressStore &store, qint64 deck, const QDateTime &now,
                     int dayStartHour = 0);
// Takes the round's last answer back, in the round and in the store; false
// when the store could not (another program answered the card since).
bool takeBackAnswer(Round &round, ProgressStore &store);
// Every card of the deck as it is now (the open view's cards for the stale
// file-level copies of its category): what the deck holds for the
// statistics of all decks.
std::vector<qint64> deckKeys(const Deck &deck);

} // namespace mdk::review
