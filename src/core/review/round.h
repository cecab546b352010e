#pragma once

#include "leitner.h"

#include <QString>

#include <limits>
#include <vector>

namespace mdk::review {

enum class Direction { Side1First, Side2First, Mixed };

// One card the round may ask: its text's key, what is known of it, and
// whether it is left out (marked cards are, as they are from study).
struct Candidate {
    qint64 key = 0;
    CardState state;
    bool marked = false;
};

struct RoundRules {
    int newCards = 20; // never-reviewed cards taken after the due ones
    int maxDue = std::numeric_limits<int>::max(); // due cards taken, the longest due first
    quint64 seed = 0;  // the coin of the mixed direction
};

struct RoundCard {
    int card = 0; // index into the candidates (the view's card number - 1)
    qint64 key = 0;
    CardState state;
    bool coin = false; // side 2 asks first when the direction is mixed
    // Once answered in this round: how, and what was kept.
    bool knew = false;
    Answer answer;
    // The answer put the card back at the round's end (a learning step due
    // the same day).
    bool requeued = false;
};

// Whether the card's question is its side 2. The direction can change in
// the middle of a round, so it is applied card by card.
inline bool asksSide2(Direction direction, const RoundCard &card)
{
    return direction == Direction::Side2First || (direction == Direction::Mixed && card.coin);
}

// The cards of a round: every due card, oldest due first (view order among
// equals), then never-reviewed cards in view order up to rules.newCards.
// A text that appears twice is asked once. Linear but for sorting the due
// cards.
std::vector<RoundCard> buildRound(const std::vector<Candidate> &candidates, qint64 today, const RoundRules &rules);

// A round in progress: the current card, the answers so far, the missed
// cards for another round.
class Round {
public:
    explicit Round(std::vector<RoundCard> cards) : cards_(std::move(cards)) {}

    int count() const { return int(cards_.size()); }
    int position() const { return position_; } // 0-based; count() when done
    bool finished() const { return position_ >= count(); }
    const RoundCard &current() const { return cards_[size_t(position_)]; }
    int known() const { return known_; }
    int missed() const { return int(missed_.size()); }
    // The current card's new state after the answer; the round moves on.
    CardState answer(bool knew, qint64 today);
    // The current card was answered as given (its state computed by the
    // store); the round moves on.
    // again: the card comes back at the end of this round (its learning
    // step falls due the same day).
    void record(bool knew, const Answer &answer, bool again = false);
    // The last answer of this round can be taken back: the round steps
    // back to that card, its state as before.
    bool canTakeBack() const { return position_ > 0; }
    const RoundCard &lastAnswered() const { return cards_[size_t(position_ - 1)]; }
    void takeBack();
    // The missed cards with their new states, in the order they were asked.
    // A card missed twice (it came back in the round) is asked once.
    std::vector<RoundCard> missedCards() const;
    // "card 7 of 25 · 5 known · 2 missed"
    QString progressLine() const;

private:
    std::vector<RoundCard> cards_;
    std::vector<RoundCard> missed_;
    int position_ = 0;
    int known_ = 0;
};

// The summary at the end of a round (or where Escape ended it): the share
// known, how many were answered, the time taken, and whether the answers
// could not be kept.
QString summaryText(const Round &round, qint64 elapsedMs, bool saved);

} // namespace mdk::review
