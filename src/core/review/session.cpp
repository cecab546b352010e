#include "session.h"

#include "cardkey.h"
#include "core/deck/deck.h"

#include <functional>

namespace mdk::review {

namespace {

std::vector<Candidate> candidates(std::vector<qint64> keys, ProgressStore &store,
                                  const std::function<qint64(size_t)> &legacyKey)
{
    std::vector<CardState> states = store.states(keys);
    if (store.hasLegacyKeys()) {
        // Cards an earlier version kept under their old key: their progress
        // is taken over under the new one, once.
        std::vector<qint64> olds;
        std::vector<size_t> which;
        for (size_t k = 0; k < keys.size(); ++k)
            if (states[k].isNew()) {
                olds.push_back(legacyKey(k));
                which.push_back(k);
            }
        const std::vector<CardState> found = store.states(olds);
        std::vector<std::pair<qint64, qint64>> adopt;
        for (size_t i = 0; i < olds.size(); ++i)
            if (!found[i].isNew()) {
                adopt.emplace_back(olds[i], keys[which[i]]);
                states[which[i]] = found[i];
            }
        if (!adopt.empty())
            store.follow(adopt);
    }
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
    std::vector<Candidate> out = candidates(std::move(keys), store, [&](size_t k) {
        return legacyCardKey(deck.viewSide1(int(k)), deck.viewSide2(int(k)));
    });
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
    return candidates(fileKeys(deck), store, [&](size_t j) {
        return legacyCardKey(deck.fileSide1(int(j)), deck.fileSide2(int(j)));
    });
}

CardState answerCard(Round &round, bool knew, ProgressStore &store, qint64 deck, const QDateTime &now, int dayStartHour)
{
    const Answer a = store.answer(deck, round.current().key, knew, now, dayOf(now, dayStartHour));
    round.record(knew, a);
    return a.after;
}

CardState answerCard(Round &round, fsrs::Grade grade, ProgressStore &store, qint64 deck, const QDateTime &now,
                     int dayStartHour)
{
    const qint64 today = dayOf(now, dayStartHour);
    const Answer a = store.answer(deck, round.current().key, grade, now, today);
    const bool again = store.scheduler() == SchedulerKind::Fsrs && a.memoryAfter.state != fsrs::State::Review
                       && a.after.dueDay <= today;
    round.record(grade != fsrs::Grade::Again, a, again);
    return a.after;
}

bool takeBackAnswer(Round &round, ProgressStore &store)
{
    if (!round.canTakeBack())
        return false;
    const RoundCard &last = round.lastAnswered();
    const bool back = store.takeBack(last.key, last.answer);
    round.takeBack();
    return back;
}

std::vector<qint64> deckKeys(const Deck &deck)
{
    // The file-level cards of the open category are stale while its view
    // is open: the view's cards stand for them.
    if (deck.showSubCategories())
        return fileKeys(deck);
    std::vector<qint64> keys;
    keys.reserve(size_t(deck.fileCount() + deck.viewCount()));
    const QString &open = deck.oldTreeName();
    for (int j = 0; j < deck.fileCount(); ++j)
        if (!sameText(deck.fileCategory(j), open))
            keys.push_back(cardKey(deck.fileSide1(j), deck.fileSide2(j)));
    for (int k = 0; k < deck.viewCount(); ++k)
        keys.push_back(cardKey(deck.viewSide1(k), deck.viewSide2(k)));
    return keys;
}

} // namespace mdk::review
