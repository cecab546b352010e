#include "search.h"

#include "core/search/halves.h"

#include <QCoreApplication>
#include <QHashFunctions>

#include <array>
#include <cstring>
#include <memory>
#include <numeric>
#include <utility>
#include <vector>

namespace mdk::search {

QString refusal(const Deck &deck)
{
    return deck.viewCount() == 0
               ? QCoreApplication::translate("Mnemodeck", "You must have at least 1 card in your card collection to use Search.")
               : QString();
}

namespace {

bool isWordCharacter(char32_t c)
{
    return QChar::isLetter(c) || QChar::isDigit(c) || QChar::isMark(c);
}

// The character that ends just before position i (a surrogate pair read
// as one character).
char32_t characterBefore(QStringView text, qsizetype i)
{
    const QChar c = text[i - 1];
    if (c.isLowSurrogate() && i >= 2 && text[i - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(text[i - 2], c);
    return c.unicode();
}

char32_t characterAt(QStringView text, qsizetype i)
{
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[i + 1]);
    return c.unicode();
}

// One pattern under one set of options, tested against many texts. Every
// start position is tried in order, as the plain definition says, but a
// position is compared in full only when its first units can begin a match:
// equal to the pattern's, or (without case) among the few units that fold
// to the same ones.
class Matcher {
public:
    // With a table the first-unit test is one lookup, for scans of many
    // texts; building it costs a pass over the 65,536 units.
    Matcher(const QString &pattern, Options options, bool withTable)
        : pattern_(pattern), options_(options)
    {
        if (pattern_.isEmpty())
            return;
        for (int p = 0; p < 2 && p < pattern_.size(); ++p) {
            const QChar c = pattern_[p];
            isSurrogate_[p] = c.isSurrogate();
            folded_[p] = isSurrogate_[p] ? c.unicode() : char16_t(QChar::toCaseFolded(c.unicode()));
        }
        if (withTable && !options_.caseSensitive) {
            // Bit p: the unit can stand at place p of a match.
            table_ = std::make_unique<std::array<quint8, 0x10000>>();
            for (char32_t u = 0; u < 0x10000; ++u)
                (*table_)[u] = quint8((canStand(char16_t(u), 0) ? 1 : 0) | (canStand(char16_t(u), 1) ? 2 : 0));
        }
    }

    bool operator()(const QString &text) const
    {
        const qsizetype m = pattern_.size();
        if (m == 0 || text.size() < m)
            return false;
        const QStringView t(text);
        const qsizetype last = t.size() - m;
        const char16_t *units = t.utf16();
        if (options_.caseSensitive) {
            const char16_t *p = QStringView(pattern_).utf16();
            const size_t bytes = size_t(m) * sizeof(char16_t);
            if (m == 1) {
                for (qsizetype i = t.indexOf(QChar(p[0])); i >= 0; i = t.indexOf(QChar(p[0]), i + 1))
                    if (wordOk(t, i))
                        return true;
                return false;
            }
            // A plain pass testing two units is cheaper than a library
            // search call at every occurrence of a common first letter.
            for (qsizetype i = 0; i <= last; ++i) {
                if (units[i] == p[0] && units[i + 1] == p[1] && std::memcmp(units + i, p, bytes) == 0
                    && wordOk(t, i))
                    return true;
            }
            return false;
        }
        if (table_) {
            // A common first letter makes many candidates; the second unit
            // rules most of them out before the full comparison.
            const auto &table = *table_;
            const quint8 second = m > 1 ? 2 : 0;
            for (qsizetype i = 0; i <= last; ++i) {
                if ((table[units[i]] & 1) && (!second || (table[units[i + 1]] & second))
                    && t.sliced(i, m).compare(pattern_, Qt::CaseInsensitive) == 0 && wordOk(t, i))
                    return true;
            }
            return false;
        }
        for (qsizetype i = 0; i <= last; ++i) {
            if (canStand(units[i], 0) && t.sliced(i, m).compare(pattern_, Qt::CaseInsensitive) == 0
                && wordOk(t, i))
                return true;
        }
        return false;
    }

private:
    // Whether unit u can stand at place p (0 or 1) of a match without case:
    // it folds to the pattern's unit there. Surrogates always may, so that a
    // pair is compared in full and folds as the character it is.
    bool canStand(char16_t u, int p) const
    {
        if (QChar::isSurrogate(u))
            return true;
        return !isSurrogate_[p] && QChar::toCaseFolded(u) == folded_[p];
    }

    // With whole words, the match at i must not touch a word character.
    bool wordOk(QStringView t, qsizetype i) const
    {
        if (!options_.wholeWords)
            return true;
        const qsizetype end = i + pattern_.size();
        return !(i > 0 && isWordCharacter(characterBefore(t, i)))
            && !(end < t.size() && isWordCharacter(characterAt(t, end)));
    }

    QString pattern_;
    Options options_;
    bool isSurrogate_[2] = {false, false};
    char16_t folded_[2] = {0, 0};
    std::unique_ptr<std::array<quint8, 0x10000>> table_;
};

} // namespace

bool matches(const QString &text, const QString &pattern, Options options)
{
    return Matcher(pattern, options, false)(text);
}

std::optional<Found> scan(const Deck &deck, int current, const QString &pattern, Options options,
                          const std::function<void(int)> &scanning)
{
    const int n = deck.viewCount();
    if (n == 0 || pattern.isEmpty())
        return std::nullopt;
    if (current < 0 || current >= n)
        current = n - 1; // then the scan starts at card 1
    const Matcher matcher(pattern, options, n > 64);
    const bool anyMarked = deck.marks().GetCount() > 0;
    int k = current;
    for (int tested = 0; tested < n; ++tested) {
        if (++k == n)
            k = 0;
        if (anyMarked && deck.marks().isMarked(k))
            continue;
        if (scanning)
            scanning(k);
        if (matcher(deck.viewSide1(k)))
            return Found{k, 0};
        if (matcher(deck.viewSide2(k)))
            return Found{k, 1};
    }
    return std::nullopt;
}

namespace {

// The first occurrence of each text: an open-addressing table of view
// indexes with their hashes, so a probe compares texts only when the hashes
// agree. One allocation for the whole view, no node per text.
class FirstOccurrences {
public:
    explicit FirstOccurrences(int n)
    {
        size_t size = 16;
        while (size < size_t(n) * 2)
            size <<= 1;
        slots_.assign(size, Slot{});
        mask_ = size - 1;
    }

    // Starts loading the slot a later lookup of hash will probe first: the
    // table is far larger than the cache, so each lookup would otherwise
    // wait for memory.
    void prefetch(quint32 hash) const { __builtin_prefetch(&slots_[hash & mask_]); }

    // The index of the first text equal to text (which is card k, whose
    // hash is hash), or -1 when it is the first, and then it is recorded.
    template <typename TextOf>
    int findOrAdd(const QString &text, quint32 hash, int k, const TextOf &textOf)
    {
        for (size_t s = hash & mask_;; s = (s + 1) & mask_) {
            Slot &slot = slots_[s];
            if (slot.card < 0) {
                slot = {hash, k};
                return -1;
            }
            if (slot.tag == hash && sameText(textOf(slot.card), text))
                return slot.card;
        }
    }

private:
    struct Slot {
        quint32 tag = 0;
        int card = -1;
    };
    std::vector<Slot> slots_;
    size_t mask_ = 0;
};

// The dialog's counter reads its clock every 64th report, so reports come
// every few dozen cards of work.
constexpr int kReportCards = 64;

// Equal texts have equal hashes: the cards whose hash has this bit set are
// looked up by one thread, the others by the other thread.
constexpr quint32 kPartitionBit = 0x80000000U;
// How many cards ahead the lookups prefetch their slot.
constexpr int kLookAhead = 16;

} // namespace

int removeDuplicates(Deck &deck, int side, const std::function<void(int)> &progress)
{
    Q_ASSERT(side == 0 || side == 1);
    const int n = deck.viewCount();
    const auto textOf = [&deck, side](int k) -> const QString & {
        return side == 0 ? deck.viewSide1(k) : deck.viewSide2(k);
    };
    // The three passes share the progress: hashing the first third, the
    // lookups the second, taking the copies out the last.
    const int third = n / 3;
    const auto report = [&](int done) {
        if (progress)
            progress(done);
    };

    // Every text's hash, the halves on two threads; each half counts its
    // hashes with the partition bit.
    std::vector<quint32> hashes(size_t(n), 0);
    int upper[2] = {0, 0};
    search::inTwoHalves(n, [&](int begin, int end, bool here) {
        int count = 0;
        for (int k = begin; k < end; ++k) {
            const auto h = quint32(qHash(QStringView(textOf(k)), size_t(0)));
            hashes[size_t(k)] = h;
            count += (h & kPartitionBit) ? 1 : 0;
            if (here && (k - begin) % kReportCards == 0)
                report(search::shareOfWhole(k, begin, end, third));
        }
        upper[here ? 1 : 0] = count;
    });

    // firstOf[k]: the card that card k copies, or -1 for a card that stays.
    // Each thread walks the whole view in order but looks up only its own
    // partition's cards, so it sees every copy of a text after its first.
    std::vector<int> firstOf(size_t(n), -1);
    std::vector<int> copies(size_t(n) + 1, 0); // how many copies each card has, then offsets
    int removedBy[2] = {0, 0};
    const int withBit = upper[0] + upper[1];
    search::inTwoHalves(2, [&](int begin, int end, bool here) {
        for (int part = begin; part < end; ++part) {
            // With one thread this takes both partitions in turn, and the
            // second reports.
            const quint32 bit = part == 1 ? kPartitionBit : 0;
            FirstOccurrences seen(bit ? withBit : n - withBit);
            int removed = 0;
            for (int k = 0; k < n; ++k) {
                if (k + kLookAhead < n && (hashes[size_t(k + kLookAhead)] & kPartitionBit) == bit)
                    seen.prefetch(hashes[size_t(k + kLookAhead)]);
                const quint32 h = hashes[size_t(k)];
                if ((h & kPartitionBit) == bit) {
                    const int first = seen.findOrAdd(textOf(k), h, k, textOf);
                    if (first >= 0) {
                        firstOf[size_t(k)] = first;
                        ++copies[size_t(first)];
                        ++removed;
                    }
                }
                if (here && part == end - 1 && k % kReportCards == 0)
                    report(third + int(qint64(k) * third / n));
            }
            removedBy[part] = removed;
        }
    }, n >= search::kTwoThreadItems);
    const int removed = removedBy[0] + removedBy[1];

    if (removed == 0) {
        report(n);
        // Nothing removed, but the run still counts as a change of the
        // view: the marks go and the deck is changed.
        std::vector<int> same(static_cast<size_t>(n));
        std::iota(same.begin(), same.end(), 0);
        deck.permuteView(same);
        return 0;
    }

    // The removed cards grouped by the card they copy, in view order within
    // each group: a counting sort, so the order is the one the step-by-step
    // removal gives, without its list searches and shifting deletes.
    int offset = 0;
    for (int k = 0; k < n; ++k)
        offset += std::exchange(copies[size_t(k)], offset);
    std::vector<int> removal(static_cast<size_t>(removed));
    for (int k = 0; k < n; ++k)
        if (firstOf[size_t(k)] >= 0)
            removal[size_t(copies[size_t(firstOf[size_t(k)])]++)] = k;

    // One compaction: the cards that stay first, in order, then the removed
    // ones last to first, so that taking cards off the end files them into
    // the deleted cards in removal order, each in constant time.
    std::vector<int> order;
    order.reserve(size_t(n));
    for (int k = 0; k < n; ++k)
        if (firstOf[size_t(k)] < 0)
            order.push_back(k);
    order.insert(order.end(), removal.rbegin(), removal.rend());
    deck.permuteView(order);
    const int rest = n - 2 * third;
    for (int r = 0; r < removed; ++r) {
        deck.RemoveViewCard(deck.viewCount() - 1);
        if (r % kReportCards == 0)
            report(2 * third + int(qint64(r) * rest / removed));
    }
    report(n);

    if (deck.placeseek() >= deck.viewCount())
        deck.setCurrentCard(0, deck.side());
    return removed;
}

Options storedOptions(const mdk::Options &settings)
{
    return {settings.casesensitive != 0, settings.wholewordsonly != 0};
}

void storeOptions(mdk::Options &settings, Options chosen)
{
    settings.casesensitive = chosen.caseSensitive ? 1 : 0;
    settings.wholewordsonly = chosen.wholeWords ? 1 : 0;
}

Click beginSearch(Deck &deck, const std::array<bool, 2> &duplicates, const QString &pattern, Options options,
                  const ClickProgress &progress)
{
    Click click;
    for (int side = 0; side < 2; ++side) {
        if (!duplicates[size_t(side)])
            continue;
        if (progress.searchingFor)
            progress.searchingFor(side == 0 ? QCoreApplication::translate("Mnemodeck", "Duplicates on side 1")
                                            : QCoreApplication::translate("Mnemodeck", "Duplicates on side 2"));
        removeDuplicates(deck, side, progress.scanning);
        if (progress.totalCards)
            progress.totalCards(deck.viewCount());
        click.removed = true;
    }
    const int start = click.removed ? 0 : deck.placeseek();
    deck.setCurrentCard(start, deck.side());
    if (pattern.isEmpty())
        return click;
    click.searched = true;
    if (progress.searchingFor)
        progress.searchingFor(pattern);
    click.found = scan(deck, start, pattern, options, [&progress](int card) {
        if (progress.scanning)
            progress.scanning(card + 1);
    });
    if (click.found)
        deck.setCurrentCard(click.found->card, click.found->side);
    return click;
}

} // namespace mdk::search
