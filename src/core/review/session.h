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
CardState answerCard(Round &round, bool knew, ProgressStore &store, qint64 deck, const QDateTime &now);

} // namespace mdk::review
