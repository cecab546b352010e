#include "statistics.h"

#include "cardtable.h"

#include <algorithm>

namespace mdk::review {

namespace {

void countCard(Statistics &s, const CardState &c, qint64 today)
{
    if (c.isNew()) {
        ++s.newCards;
        return;
    }
    ++s.boxes[size_t(std::clamp(c.box, 1, kBoxes) - 1)];
    s.dueToday += c.dueDay <= today;
    s.dueTomorrow += c.dueDay == today + 1;
    s.dueThisWeek += c.dueDay <= today + 6;
    const qint64 in = std::max<qint64>(c.dueDay - today, 0);
    if (in < kForecastDays)
        ++s.forecast[size_t(in)];
}

void countReview(Statistics &s, qint64 day, bool knew, qint64 today)
{
    const qint64 age = today - day; // 0: today
    if (age < 0)
        return;
    if (age < kDaysShown) {
        ++s.reviewed30Days;
        ++s.reviewsPerDay[size_t(kDaysShown - 1 - age)];
    }
    if (age < 7 * kWeeksShown) {
        const size_t week = size_t(kWeeksShown - 1 - age / 7);
        ++s.weekAnswers[week];
        s.weekKnown[week] += knew;
    }
}

} // namespace

Statistics computeStatistics(const std::vector<CardState> &cards, const std::vector<ProgressStore::Review> &reviews,
                             qint64 today)
{
    Statistics s;
    for (const CardState &c : cards)
        countCard(s, c, today);
    for (const ProgressStore::Review &r : reviews)
        countReview(s, r.day, r.knew, today);
    return s;
}

Statistics statisticsOf(ProgressStore &store, const std::vector<qint64> &keys, qint64 today)
{
    const CardTable &known = store.knownCards();
    // Each text once: the table of the wanted ones is filled with their
    // states as it goes.
    CardTable wanted;
    wanted.reserve(keys.size());
    Statistics s;
    for (qint64 key : keys) {
        const CardState *found = known.find(key);
        const CardState state = found ? store.scheduled(*found) : CardState{};
        if (wanted.set(key, state))
            countCard(s, state, today);
    }
    const qint64 oldest = today - 7 * kWeeksShown + 1;
    for (const StoredReview &r : store.recentReviews())
        if (r.day >= oldest && r.day <= today && wanted.find(r.key))
            countReview(s, r.day, r.knew, today);
    return s;
}

} // namespace mdk::review
