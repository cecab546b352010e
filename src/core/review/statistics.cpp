#include "statistics.h"

#include "cardtable.h"

#include <algorithm>

namespace mdk::review {

Statistics computeStatistics(const std::vector<CardState> &cards, const std::vector<ProgressStore::Review> &reviews,
                             qint64 today)
{
    Statistics s;
    for (const CardState &c : cards) {
        if (c.isNew()) {
            ++s.newCards;
            continue;
        }
        ++s.boxes[size_t(std::clamp(c.box, 1, kBoxes) - 1)];
        s.dueToday += c.dueDay <= today;
        s.dueTomorrow += c.dueDay == today + 1;
        s.dueThisWeek += c.dueDay <= today + 6;
    }
    for (const ProgressStore::Review &r : reviews) {
        const qint64 age = today - r.day; // 0: today
        if (age < 0)
            continue;
        if (age < kDaysShown) {
            ++s.reviewed30Days;
            ++s.reviewsPerDay[size_t(kDaysShown - 1 - age)];
        }
        if (age < 7 * kWeeksShown) {
            const size_t week = size_t(kWeeksShown - 1 - age / 7);
            ++s.weekAnswers[week];
            s.weekKnown[week] += r.knew;
        }
    }
    return s;
}

Statistics statisticsOf(ProgressStore &store, const std::vector<qint64> *keys, qint64 today)
{
    std::vector<ProgressStore::Review> reviews = store.reviewsSince(today - 7 * kWeeksShown + 1);
    if (!keys)
        return computeStatistics(store.allStates(), reviews, today);
    CardTable wanted;
    wanted.reserve(keys->size());
    std::vector<qint64> unique;
    unique.reserve(keys->size());
    for (qint64 key : *keys)
        if (wanted.set(key, CardState{}))
            unique.push_back(key);
    std::erase_if(reviews, [&](const ProgressStore::Review &r) { return !wanted.find(r.key); });
    return computeStatistics(store.states(unique), reviews, today);
}

} // namespace mdk::review
