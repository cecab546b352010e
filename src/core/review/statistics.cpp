#include "statistics.h"

#include "cardtable.h"

#include <algorithm>
#include <utility>

namespace mdk::review {

namespace {

// The keys asked for, each once: a flat open-addressing set of keys alone
// (a quarter of the card table's bytes), so a million lookups stay in a
// few megabytes. Key 0 is kept aside, as 0 marks a free slot.
class KeySet {
public:
    explicit KeySet(size_t n)
    {
        size_t capacity = 16;
        while (capacity < n * 2)
            capacity *= 2;
        slots_.assign(capacity, 0);
    }
    void prefetch(qint64 key) const { __builtin_prefetch(&slots_[size_t(key) & (slots_.size() - 1)]); }
    // True when key was not there yet.
    bool insert(qint64 key)
    {
        if (key == 0)
            return !std::exchange(zero_, true);
        const size_t mask = slots_.size() - 1;
        for (size_t i = size_t(key) & mask;; i = (i + 1) & mask) {
            if (slots_[i] == key)
                return false;
            if (slots_[i] == 0) {
                slots_[i] = key;
                return true;
            }
        }
    }
    bool contains(qint64 key) const
    {
        if (key == 0)
            return zero_;
        const size_t mask = slots_.size() - 1;
        for (size_t i = size_t(key) & mask;; i = (i + 1) & mask) {
            if (slots_[i] == key)
                return true;
            if (slots_[i] == 0)
                return false;
        }
    }

private:
    std::vector<qint64> slots_;
    bool zero_ = false;
};

constexpr size_t kAhead = 16; // lookups asked for ahead of use

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
    KeySet wanted(keys.size());
    Statistics s;
    s.byState = store.scheduler() == SchedulerKind::Fsrs;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (i + kAhead < keys.size()) {
            known.prefetch(keys[i + kAhead]);
            wanted.prefetch(keys[i + kAhead]);
        }
        // Each text once.
        if (!wanted.insert(keys[i]))
            continue;
        const CardState *state = known.find(keys[i]);
        countCard(s, state ? store.scheduled(*state) : CardState{}, today);
    }
    const qint64 oldest = today - 7 * kWeeksShown + 1;
    const std::vector<StoredReview> &reviews = store.recentReviews();
    // Each card's previous answer day, in the order the answers were kept,
    // tells whether it was mature when answered (the model's only).
    CardTable previous;
    for (size_t i = 0; i < reviews.size(); ++i) {
        if (i + kAhead < reviews.size())
            wanted.prefetch(reviews[i + kAhead].key);
        const StoredReview &r = reviews[i];
        if (!wanted.contains(r.key))
            continue;
        const bool counted = r.day >= oldest && r.day <= today;
        if (counted)
            countReview(s, r.day, r.knew, today);
        if (!s.byState)
            continue;
        const CardState *before = previous.find(r.key);
        if (counted && before && r.day - before->dueDay >= kMatureDays) {
            const size_t week = size_t(kWeeksShown - 1 - (today - r.day) / 7);
            ++s.matureAnswers[week];
            s.matureRecalled[week] += r.knew;
        }
        previous.set(r.key, CardState{1, r.day});
    }
    return s;
}

} // namespace mdk::review
