#include "shuffle.h"

#include "core/search/halves.h"

#include <QCollator>
#include <QCollatorSortKey>

#include <algorithm>
#include <iterator>
#include <numeric>

namespace mdk::shuffle {

QString phaseText(Phase phase)
{
    switch (phase) {
    case Phase::Formatting: return QStringLiteral("Formatting...");
    case Phase::Initializing: return QStringLiteral("Initializing...");
    case Phase::Shuffling: return QStringLiteral("Shuffling...");
    case Phase::Reintegrating: return QStringLiteral("Reintegrating...");
    }
    return QString();
}

std::vector<int> reverseOrder(int n)
{
    std::vector<int> order(size_t(std::max(0, n)));
    for (int k = 0; k < n; ++k)
        order[size_t(k)] = n - 1 - k;
    return order;
}

std::vector<int> patternOrder(int n)
{
    std::vector<int> order(size_t(std::max(0, n)));
    const int h = (n + 1) / 2;
    for (int k = 0; k < h; ++k)
        order[size_t(2 * k)] = k;
    for (int c = 0; h + c < n; ++c)
        order[size_t(2 * c + 1)] = h + c;
    return order;
}

std::vector<int> randomOrder(int n, std::mt19937_64 &rng)
{
    std::vector<int> order(size_t(std::max(0, n)));
    std::iota(order.begin(), order.end(), 0);
    for (int i = n - 1; i > 0; --i) {
        std::uniform_int_distribution<int> pick(0, i);
        std::swap(order[size_t(i)], order[size_t(pick(rng))]);
    }
    return order;
}

namespace {

using search::inTwoHalves;
using search::kReportEvery;
using search::shareOfWhole;

// Items between two reports of a pass over n: at least every 1/256 of the
// pass, so each percentage is reported as the work reaches it.
int reportEvery(int n)
{
    return std::clamp(n / 256, 1, kReportEvery);
}

// One key per card, the two halves of the view made on two threads.
// newMaker() gives a thread its own maker (a collator is not shared between
// threads); maker(k) is card k's key. tick(done) is called on this thread,
// done rising to n.
template <typename Key, typename NewMaker>
std::vector<Key> makeKeys(int n, NewMaker newMaker, const std::function<void(qint64)> &tick)
{
    std::vector<Key> halves[2];
    const int every = reportEvery(n);
    inTwoHalves(n, [&](int begin, int end, bool here) {
        std::vector<Key> &out = halves[here ? 1 : 0];
        auto make = newMaker();
        out.reserve(size_t(end - begin));
        for (int k = begin; k < end; ++k) {
            out.push_back(make(k));
            if (here && tick && (k - begin) % every == 0)
                tick(shareOfWhole(k, begin, end, n));
        }
    });
    std::vector<Key> keys = std::move(halves[0]);
    keys.insert(keys.end(), std::make_move_iterator(halves[1].begin()), std::make_move_iterator(halves[1].end()));
    if (tick)
        tick(n);
    return keys;
}

// The indexes of keys sorted by compare(a, b) (negative, zero, positive) of
// their keys, equal ones in ascending index order: a stable sort.
//
// A plain sort of a million indexes by keys held elsewhere spends most of
// its time waiting for memory: every comparison reaches two keys at random
// places. So this is a sample sort: sorted splitters cut the range into
// buckets of a few hundred keys; each card finds its bucket by binary search
// among the splitters while the cards are visited in order, and then each
// small bucket is sorted on its own, its keys staying in the cache. The
// splitters are fresh copies (copy(index)), packed together rather than
// scattered over the whole deck's keys, so that the searches stay in the
// cache too. Equal keys always land in the same bucket. The bucket search
// and the bucket sorts each run in two halves on two threads.
//
// tick(done) reports the work on this thread, done rising from 0 to n:
// the bucket search up to n / 2, the bucket sorts after it.
template <typename Key, typename Compare, typename Copy>
std::vector<int> sortedIndexes(const std::vector<Key> &keys, Compare compare, Copy copy,
                               const std::function<void(qint64)> &tick)
{
    const int n = int(keys.size());
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    const auto less = [&](int a, int b) {
        const int c = compare(keys[size_t(a)], keys[size_t(b)]);
        return c < 0 || (c == 0 && a < b);
    };
    constexpr int kBucket = 256;
    if (n < 8 * kBucket) {
        std::sort(order.begin(), order.end(), less);
        if (tick)
            tick(n);
        return order;
    }

    const int splitterCount = n / kBucket;
    std::vector<int> sample(static_cast<size_t>(splitterCount));
    for (int i = 0; i < splitterCount; ++i)
        sample[size_t(i)] = int((qint64(i) * n + n / 2) / splitterCount);
    std::sort(sample.begin(), sample.end(), less);
    std::vector<Key> splitters;
    splitters.reserve(sample.size());
    for (int k : sample)
        splitters.push_back(copy(k));

    // Bucket b holds the keys with exactly b splitters at or below them.
    // Each half counts its own keys per bucket.
    std::vector<int> bucketOf(static_cast<size_t>(n));
    std::vector<int> counts[2];
    const int every = reportEvery(n);
    inTwoHalves(n, [&](int begin, int end, bool here) {
        std::vector<int> &count = counts[here ? 1 : 0];
        count.assign(size_t(splitterCount) + 1, 0);
        for (int k = begin; k < end; ++k) {
            const auto above =
                std::upper_bound(splitters.begin(), splitters.end(), keys[size_t(k)],
                                 [&](const Key &key, const Key &splitter) { return compare(key, splitter) < 0; });
            const int b = int(above - splitters.begin());
            bucketOf[size_t(k)] = b;
            ++count[size_t(b)];
            if (here && tick && (k - begin) % every == 0)
                tick(shareOfWhole(k, begin, end, n) / 2);
        }
    });
    std::vector<int> start(size_t(splitterCount) + 2, 0);
    for (size_t b = 0; b <= size_t(splitterCount); ++b)
        start[b + 1] = start[b] + (counts[0].empty() ? 0 : counts[0][b]) + counts[1][b];
    std::vector<int> next(start.begin(), start.end() - 1);
    for (int k = 0; k < n; ++k)
        order[size_t(next[size_t(bucketOf[size_t(k)])]++)] = k;
    if (tick)
        tick(n / 2);

    const int buckets = splitterCount + 1;
    inTwoHalves(buckets, [&](int begin, int end, bool here) {
        for (int b = begin; b < end; ++b) {
            std::sort(order.begin() + start[size_t(b)], order.begin() + start[size_t(b) + 1], less);
            if (here && tick)
                tick(n / 2 + shareOfWhole(b, begin, end, n - n / 2));
        }
    });
    if (tick)
        tick(n);
    return order;
}

QCollator caseBlindCollator(const QLocale &locale)
{
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

} // namespace

std::vector<int> alphabetizeOrder(const Deck &deck, const QLocale &locale, const std::function<void(qint64)> &progress)
{
    const int n = deck.viewCount();
    // Steps 0 to n make the keys, n to 2n sort them.
    const std::function<void(qint64)> keysMade = [&](qint64 done) {
        if (progress)
            progress(done);
    };
    const std::function<void(qint64)> sorted = [&](qint64 done) {
        if (progress)
            progress(n + done);
    };
    if (locale.language() == QLocale::C) {
        // The C collation's sort keys are the texts' bytes whatever the case
        // setting, so fold the case here; an exact compare of folded texts
        // orders them as the C collation's case-insensitive compare does.
        const std::vector<QString> keys = makeKeys<QString>(
            n, [&] { return [&deck](int k) { return deck.viewSide1(k).toCaseFolded(); }; }, keysMade);
        return sortedIndexes(
            keys, [](const QString &a, const QString &b) { return QString::compare(a, b); },
            [&](int k) { return QString(keys[size_t(k)].constData(), keys[size_t(k)].size()); }, sorted);
    }

    // One sort key per card: comparing keys is a byte compare, far cheaper
    // than collating the texts again at every comparison of the sort.
    const std::vector<QCollatorSortKey> keys = makeKeys<QCollatorSortKey>(
        n,
        [&] {
            return [&deck, collator = caseBlindCollator(locale)](int k) { return collator.sortKey(deck.viewSide1(k)); };
        },
        keysMade);
    const QCollator collator = caseBlindCollator(locale);
    return sortedIndexes(
        keys, [](const QCollatorSortKey &a, const QCollatorSortKey &b) { return a.compare(b); },
        [&](int k) { return collator.sortKey(deck.viewSide1(k)); }, sorted);
}

int progressValue(Order order, Phase phase, int step, int steps)
{
    const qint64 p = steps > 0 ? std::min<qint64>(100, qint64(std::max(0, step)) * 100 / steps) : 0;
    const int percent = int(p);
    if (order == Order::Random) {
        switch (phase) {
        case Phase::Formatting: return percent / 4;
        case Phase::Initializing: return percent / 4 + 25;
        case Phase::Shuffling: return percent / 4 + 50;
        case Phase::Reintegrating: return percent / 4 + 75;
        }
    }
    switch (phase) {
    case Phase::Formatting: return percent / 3;
    case Phase::Initializing: return 33; // these orders have no such phase
    case Phase::Shuffling: return percent / 3 + 33;
    case Phase::Reintegrating: return percent / 3 + 67;
    }
    return 0;
}

int phaseSteps(Order order, Phase phase, int n)
{
    switch (phase) {
    case Phase::Formatting: return 2 * n;
    case Phase::Initializing: return order == Order::Random ? n : 0;
    case Phase::Shuffling:
        switch (order) {
        case Order::Random: return n;
        case Order::Reverse:
        case Order::Pattern: return n + 1;
        case Order::Alphabetize: return 2 * n;
        }
        break;
    case Phase::Reintegrating: return n;
    }
    return 0;
}

namespace {

// Reports the phases: each one's starting value as it begins, then each
// value the bar takes over its steps as the work reaches them (to), the
// rest when the phase ends (finish). The bar takes at most 101 values in a
// phase, so instead of walking every step this visits, for each
// percentage, the first step that reaches it.
class Progress {
public:
    Progress(Order order, int n, const std::function<void(Phase, int)> &report)
        : order_(order), n_(n), report_(report)
    {
    }

    void begin(Phase phase)
    {
        phase_ = phase;
        steps_ = phaseSteps(order_, phase, n_);
        if (!report_)
            return;
        percent_ = 0;
        last_ = progressValue(order_, phase, 0, steps_);
        report_(phase, last_);
    }

    // The work of the phase has reached step.
    void to(qint64 step)
    {
        if (!report_ || steps_ <= 0)
            return;
        const qint64 reached = std::min<qint64>(100, std::max<qint64>(0, step) * 100 / steps_);
        while (percent_ < reached) {
            ++percent_;
            const qint64 first = (percent_ * steps_ + 99) / 100;
            const int value = progressValue(order_, phase_, int(first), steps_);
            if (value != last_) {
                last_ = value;
                report_(phase_, value);
            }
        }
    }

    void finish() { to(steps_); }

    void run(Phase phase)
    {
        begin(phase);
        finish();
    }

private:
    Order order_;
    int n_;
    const std::function<void(Phase, int)> &report_;
    Phase phase_ = Phase::Formatting;
    int steps_ = 0;
    qint64 percent_ = 0;
    int last_ = 0;
};

} // namespace

void shuffleView(Deck &deck, Order order, std::mt19937_64 &rng, const QLocale &locale,
                 const std::function<void(Phase, int)> &progress)
{
    const int n = deck.viewCount();
    Progress bar(order, n, progress);
    deck.filehaschanged = 1;
    deck.placeseek = 0;
    deck.Marks.ClearList();

    // Free slots need no filling: the new order is built as a permutation
    // and applied in one pass.
    bar.run(Phase::Formatting);
    if (order == Order::Random)
        bar.run(Phase::Initializing);

    bar.begin(Phase::Shuffling);
    std::vector<int> newOrder;
    switch (order) {
    case Order::Reverse: newOrder = reverseOrder(n); break;
    case Order::Pattern: newOrder = patternOrder(n); break;
    case Order::Random: newOrder = randomOrder(n, rng); break;
    case Order::Alphabetize:
        // Alphabetize's 2n steps: n to make the keys, n to sort them.
        newOrder = alphabetizeOrder(deck, locale, [&bar](qint64 step) { bar.to(step); });
        break;
    }
    bar.finish();

    bar.begin(Phase::Reintegrating);
    deck.permuteView(newOrder);
    bar.finish();

    deck.placeseek = 0;
    deck.side = 0;
}

void flip(Deck &deck)
{
    deck.flipViewSides();
    deck.filehaschanged = 1;
}

} // namespace mdk::shuffle
