#include "round.h"

#include "cardtable.h"

#include <QCoreApplication>

#include <algorithm>
#include <random>

namespace mdk::review {

std::vector<RoundCard> buildRound(const std::vector<Candidate> &candidates, qint64 today, const RoundRules &rules)
{
    std::vector<int> due;
    std::vector<int> fresh;
    for (size_t k = 0; k < candidates.size(); ++k) {
        const Candidate &c = candidates[k];
        if (c.marked)
            continue;
        if (c.state.isDue(today))
            due.push_back(int(k));
        else if (c.state.isNew() && int(fresh.size()) < rules.newCards)
            fresh.push_back(int(k));
    }
    std::stable_sort(due.begin(), due.end(), [&](int a, int b) {
        return candidates[size_t(a)].state.dueDay < candidates[size_t(b)].state.dueDay;
    });
    // After a long break the round is of a size one can finish; the rest
    // stay due for the next.
    if (int(due.size()) > std::max(rules.maxDue, 0))
        due.resize(size_t(std::max(rules.maxDue, 0)));

    std::mt19937_64 random(rules.seed);
    std::vector<RoundCard> round;
    round.reserve(due.size() + fresh.size());
    CardTable taken;
    taken.reserve(due.size() + fresh.size());
    auto take = [&](int k) {
        const Candidate &c = candidates[size_t(k)];
        if (!taken.set(c.key, c.state))
            return;
        RoundCard card;
        card.card = k;
        card.key = c.key;
        card.state = c.state;
        card.coin = (random() & 1) != 0;
        round.push_back(card);
    };
    std::for_each(due.begin(), due.end(), take);
    // A new text seen twice: the duplicates beyond the limit do not count.
    std::for_each(fresh.begin(), fresh.end(), take);
    return round;
}

CardState Round::answer(bool knew, qint64 today)
{
    const CardState before = cards_[size_t(position_)].state;
    Answer a;
    a.before = a.storedBefore = before;
    a.after = a.storedAfter = review::answer(before, knew, today);
    record(knew, a);
    return cards_[size_t(position_ - 1)].state;
}

void Round::record(bool knew, const Answer &answer, bool again)
{
    RoundCard &card = cards_[size_t(position_)];
    card.state = answer.after;
    card.knew = knew;
    card.answer = answer;
    card.requeued = again;
    if (knew)
        ++known_;
    else
        missed_.push_back(card);
    if (again) {
        RoundCard next = cards_[size_t(position_)];
        next.knew = false;
        next.answer = Answer{};
        next.requeued = false;
        cards_.push_back(next);
    }
    ++position_;
}

void Round::takeBack()
{
    if (!canTakeBack())
        return;
    RoundCard &card = cards_[size_t(--position_)];
    if (card.requeued)
        cards_.pop_back();
    card.requeued = false;
    if (card.knew)
        --known_;
    else
        missed_.pop_back();
    card.state = card.answer.before;
    card.answer = Answer{};
}

std::vector<RoundCard> Round::missedCards() const
{
    std::vector<RoundCard> out;
    CardTable seen;
    for (const RoundCard &card : missed_)
        if (seen.set(card.key, card.state))
            out.push_back(card);
    return out;
}

QString Round::progressLine() const
{
    return QCoreApplication::translate("Mnemodeck", "card %1 of %2 · %3 known · %4 missed")
        .arg(std::min(position_ + 1, count()))
        .arg(count())
        .arg(known_)
        .arg(missed());
}

QString summaryText(const Round &round, qint64 elapsedMs, bool saved)
{
    const int answered = round.known() + round.missed();
    const qint64 seconds = (elapsedMs + 500) / 1000;
    QString text = answered == 0
        ? QCoreApplication::translate("Mnemodeck", "No card was answered.")
        : QCoreApplication::translate("Mnemodeck", "%1 % known (%2 of %3 cards)")
              .arg(qRound(100.0 * round.known() / answered))
              .arg(round.known())
              .arg(answered);
    if (answered < round.count())
        text += QLatin1Char('\n')
                + QCoreApplication::translate("Mnemodeck", "The round was ended after %1 of %2 cards.")
                      .arg(answered)
                      .arg(round.count());
    text += QLatin1Char('\n')
            + (seconds >= 60 ? QCoreApplication::translate("Mnemodeck", "Time taken: %1 min %2 s").arg(seconds / 60).arg(seconds % 60)
                             : QCoreApplication::translate("Mnemodeck", "Time taken: %1 s").arg(seconds));
    if (!saved)
        text += QLatin1Char('\n') + QCoreApplication::translate("Mnemodeck", "The answers of this round were not saved.");
    return text;
}

} // namespace mdk::review
