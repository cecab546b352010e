#include "session.h"

#include "cardkey.h"
#include "core/deck/deck.h"

namespace mdk::review {

namespace {

std::vector<Candidate> candidates(std::vector<qint64> keys, ProgressStore &store)
{
    const std::vector<CardState> states = store.states(keys);
    std::vector<Candidate> out(keys.size());
    for (size_t k = 0; k < keys.size(); ++k)
        out[k] = Candidate{keys[k], states[k], false};
    return out;
}

} // namespace

std::vector<qint64> viewKeys(const Deck &deck)
{
    std::vector<qint64> keys;
    keys.reserve(size_t(deck.viewCount()));
    for (int k = 0; k < deck.viewCount(); ++k)
        if (!deck.marks().isMarked(k))
            keys.push_back(cardKey(deck.viewSide1(k), deck.viewSide2(k)));
    return keys;
}

std::vector<Candidate> viewCandidates(const Deck &deck, ProgressStore &store)
{
    std::vector<qint64> keys(size_t(deck.viewCount()));
    for (int k = 0; k < deck.viewCount(); ++k)
        keys[size_t(k)] = cardKey(deck.viewSide1(k), deck.viewSide2(k));
    std::vector<Candidate> out = candidates(std::move(keys), store);
    for (int k = 0; k < deck.viewCount(); ++k)
        out[size_t(k)].marked = deck.marks().isMarked(k);
    return out;
}

std::vector<qint64> fileKeys(const Deck &deck)
{
    std::vector<qint64> keys(size_t(deck.fileCount()));
    for (int j = 0; j < deck.fileCount(); ++j)
        keys[size_t(j)] = cardKey(deck.fileSide1(j), deck.fileSide2(j));
    return keys;
}

std::vector<Candidate> fileCandidates(const Deck &deck, ProgressStore &store)
{
    return candidates(fileKeys(deck), store);
}

CardState answerCard(Round &round, bool knew, ProgressStore &store, qint64 deck, const QDateTime &now)
{
    const qint64 key = round.current().key;
    const CardState state = round.answer(knew, dayOf(now));
    store.record(deck, key, state, knew, now);
    return state;
}

} // namespace mdk::review
