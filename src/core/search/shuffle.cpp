#include "shuffle.h"

#include "core/search/halves.h"

#include <QCoreApplication>
#include <QCollator>
#include <QCollatorSortKey>

#include <algorithm>
#include <array>
#include <numeric>

namespace mdk::shuffle {

QString shuffleRefusal(const Deck &deck)
{
    return deck.viewCount() < 2
               ? QCoreApplication::translate("Mnemodeck", "You must have at least 2 cards in your card collection to shuffle.")
               : QString();
}

QString flipRefusal(const Deck &deck)
{
    return deck.viewCount() == 0 ? QCoreApplication::translate("Mnemodeck", "You must have at least 1 card to flip.") : QString();
}

QString phaseText(Phase phase)
{
    switch (phase) {
    case Phase::Formatting: return QCoreApplication::translate("Mnemodeck", "Formatting...");
    case Phase::Initializing: return QCoreApplication::translate("Mnemodeck", "Initializing...");
    case Phase::Shuffling: return QCoreApplication::translate("Mnemodeck", "Shuffling...");
    case Phase::Reintegrating: return QCoreApplication::translate("Mnemodeck", "Reintegrating...");
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

using search::inPieces;
using search::kTwoThreadItems;

// Items in one piece of a pass over n, so that this thread reports at
// least every 1/128 of the pass, and each percentage as the work reaches it.
int pieceOf(int n)
{
    return std::clamp(n / 256, 1, search::kReportEvery);
}

// One key per card, kept in the pieces the two threads made them in, so
// that the threads can also free them piece by piece. A piece holds a power
// of two of cards, near pieceOf(n).
template <typename Key>
class PiecedKeys {
public:
    explicit PiecedKeys(int n) : count_(n)
    {
        while (shift_ < 12 && (2 << shift_) <= pieceOf(n))
            ++shift_;
        pieces.resize(size_t(n >> shift_) + 1);
    }

    std::vector<std::vector<Key>> pieces;

    int piece() const { return 1 << shift_; }
    size_t size() const { return size_t(count_); }
    std::vector<Key> &pieceOfCard(int k) { return pieces[size_t(k >> shift_)]; }
    const Key &operator[](size_t k) const { return pieces[k >> shift_][k & ((size_t(1) << shift_) - 1)]; }

    // Freeing a million keys takes a while: both threads free pieces.
    void release(bool twoThreads)
    {
        inPieces(
            int(pieces.size()), 1,
            [this](int begin, int end, bool) {
                for (int p = begin; p < end; ++p)
                    std::vector<Key>().swap(pieces[size_t(p)]);
            },
            [](int) {}, twoThreads);
    }

private:
    int count_ = 0;
    int shift_ = 0;
};

// The keys of the view's cards, made on two threads. newMaker() gives each
// thread its own maker (a collator is not shared between threads);
// maker(k) is card k's key. tick(done) is called on this thread, done
// rising to n.
template <typename Key, typename NewMaker>
PiecedKeys<Key> makeKeys(int n, NewMaker newMaker, const std::function<void(qint64)> &tick, bool twoThreads)
{
    PiecedKeys<Key> keys(n);
    auto makers = std::array{newMaker(), newMaker()};
    inPieces(
        n, keys.piece(),
        [&](int begin, int end, bool here) {
            std::vector<Key> &out = keys.pieceOfCard(begin);
            const auto &make = makers[here ? 1 : 0];
            out.reserve(size_t(end - begin));
            for (int k = begin; k < end; ++k)
                out.push_back(make(k));
        },
        [&](int done) {
            if (tick)
                tick(done);
        },
        twoThreads);
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
std::vector<int> sortedIndexes(const PiecedKeys<Key> &keys, Compare compare, Copy copy,
                               const std::function<void(qint64)> &tick, bool twoThreads)
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
    // Each thread counts its own keys per bucket.
    std::vector<int> bucketOf(static_cast<size_t>(n));
    std::vector<int> counts[2] = {std::vector<int>(size_t(splitterCount) + 1, 0),
                                  std::vector<int>(size_t(splitterCount) + 1, 0)};
    inPieces(
        n, pieceOf(n),
        [&](int begin, int end, bool here) {
            std::vector<int> &count = counts[here ? 1 : 0];
            for (int k = begin; k < end; ++k) {
                const auto above =
                    std::upper_bound(splitters.begin(), splitters.end(), keys[size_t(k)],
                                     [&](const Key &key, const Key &splitter) { return compare(key, splitter) < 0; });
                const int b = int(above - splitters.begin());
                bucketOf[size_t(k)] = b;
                ++count[size_t(b)];
            }
        },
        [&](int done) {
            if (tick)
                tick(done / 2);
        },
        twoThreads);
    if (tick)
        tick(n / 2);
    std::vector<int> start(size_t(splitterCount) + 2, 0);
    for (size_t b = 0; b <= size_t(splitterCount); ++b)
        start[b + 1] = start[b] + counts[0][b] + counts[1][b];
    std::vector<int> next(start.begin(), start.end() - 1);
    for (int k = 0; k < n; ++k)
        order[size_t(next[size_t(bucketOf[size_t(k)])]++)] = k;

    const int buckets = splitterCount + 1;
    inPieces(
        buckets, 1,
        [&](int begin, int end, bool) {
            for (int b = begin; b < end; ++b)
                std::sort(order.begin() + start[size_t(b)], order.begin() + start[size_t(b) + 1], less);
        },
        [&](int done) {
            if (tick)
                tick(n / 2 + qint64(done) * (n - n / 2) / buckets);
        },
        twoThreads);
    if (tick)
        tick(n);
    return order;
}

// A case-folded text with its first four UTF-16 units packed into one
// number, so that most comparisons of the sort are decided by the number,
// which lies in the key array itself, without reaching the text.
class FoldedKey {
public:
    explicit FoldedKey(QString folded) : text_(std::move(folded))
    {
        for (qsizetype i = 0; i < 4; ++i)
            prefix_ = (prefix_ << 16) | (i < text_.size() ? text_[i].unicode() : 0U);
    }

    // As QString::compare of the texts: a missing unit counts as 0, below
    // every unit, so a shorter text sorts first; only a tie of the numbers
    // (which a text holding U+0000 may also give) compares the texts.
    int compare(const FoldedKey &other) const
    {
        if (prefix_ != other.prefix_)
            return prefix_ < other.prefix_ ? -1 : 1;
        return QString::compare(text_, other.text_);
    }

    // A copy whose text has its own storage, for keys that are used often.
    FoldedKey packedCopy() const
    {
        FoldedKey copy = *this;
        copy.text_ = QString(text_.constData(), text_.size());
        return copy;
    }

private:
    quint64 prefix_ = 0;
    QString text_;
};

QCollator caseBlindCollator(const QLocale &locale)
{
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

} // namespace

std::vector<int> alphabetizeOrder(const Deck &deck, const QLocale &locale, const std::function<void(qint64)> &progress,
                                  bool secondThread)
{
    const int n = deck.viewCount();
    const bool twoThreads = secondThread && n >= kTwoThreadItems;
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
        PiecedKeys<FoldedKey> keys =
            makeKeys<FoldedKey>(n, [&] { return [&deck](int k) { return FoldedKey(deck.viewSide1(k).toCaseFolded()); }; },
                                keysMade, twoThreads);
        std::vector<int> order = sortedIndexes(
            keys, [](const FoldedKey &a, const FoldedKey &b) { return a.compare(b); },
            [&](int k) { return keys[size_t(k)].packedCopy(); }, sorted, twoThreads);
        keys.release(twoThreads);
        return order;
    }

    // One sort key per card: comparing keys is a byte compare, far cheaper
    // than collating the texts again at every comparison of the sort.
    PiecedKeys<QCollatorSortKey> keys = makeKeys<QCollatorSortKey>(
        n,
        [&] {
            return [&deck, collator = caseBlindCollator(locale)](int k) { return collator.sortKey(deck.viewSide1(k)); };
        },
        keysMade, twoThreads);
    const QCollator collator = caseBlindCollator(locale);
    std::vector<int> order = sortedIndexes(
        keys, [](const QCollatorSortKey &a, const QCollatorSortKey &b) { return a.compare(b); },
        [&](int k) { return collator.sortKey(deck.viewSide1(k)); }, sorted, twoThreads);
    keys.release(twoThreads);
    return order;
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
    deck.clearMarks();
    deck.setCurrentCard(0, deck.side());

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

    deck.setCurrentCard(0, 0);
}

void flip(Deck &deck)
{
    deck.flipViewSides();
}

} // namespace mdk::shuffle
