// Search and duplicate removal: the match rules, the scan's order, and both
// against the literal step-by-step rendering on random decks.

#include "core/search/search.h"
#include "reference_search.h"
#include "support/deckbuilder.h"

#include <QTest>

#include <random>

using mdk::Deck;
using mdk::search::Found;
using mdk::search::Options;
using namespace mdk::testsupport;

namespace {

const Options kPlain{false, false};
const Options kCase{true, false};
const Options kWhole{false, true};

Deck deckOf(const QList<QPair<QString, QString>> &cards)
{
    QList<CardText> texts;
    for (const auto &c : cards)
        texts.append({c.first, c.second, mdk::CategoryTree::kMainName});
    return buildDeck(texts);
}

mdk::reference::LiteralView literalOf(const Deck &d)
{
    mdk::reference::LiteralView v;
    for (int k = 0; k < d.viewCount(); ++k) {
        v.Side1List.AddString(d.viewSide1(k));
        v.Side2List.AddString(d.viewSide2(k));
    }
    for (int m : d.marks().values())
        v.MarkList.append(QString::number(m));
    v.placeseek = d.placeseek();
    return v;
}

QStringList listOf(const mdk::TextList &list)
{
    return QStringList(list.items().begin(), list.items().end());
}

// Pieces that make matches, near misses and duplicates likely: case pairs,
// an accented letter (precomposed and as a combining mark), a letter outside
// the BMP and one that folds there, digits, separators and line breaks.
const QStringList kPieces = {
    QStringLiteral("cat"), QStringLiteral("Cat"), QStringLiteral("CAT"), QStringLiteral("ca"), QStringLiteral("t"),
    QStringLiteral("é"), QStringLiteral("É"), QStringLiteral("e\u0301"), QStringLiteral(" "), QStringLiteral("."),
    QStringLiteral("5"), QStringLiteral("\r\n"), QStringLiteral("\U0001D400"), QStringLiteral("\U00010400"),
    QStringLiteral("\U00010428"), QStringLiteral("K"), QStringLiteral("\u212A"), QStringLiteral("k"),
};

QString randomText(std::mt19937 &rng, int maxPieces)
{
    QString text;
    const int pieces = int(rng() % unsigned(maxPieces + 1));
    for (int i = 0; i < pieces; ++i)
        text += kPieces[qsizetype(rng() % unsigned(kPieces.size()))];
    return text;
}

Deck randomDeck(std::mt19937 &rng, int n, int maxPieces)
{
    QList<CardText> texts;
    for (int k = 0; k < n; ++k)
        texts.append({randomText(rng, maxPieces), randomText(rng, maxPieces), mdk::CategoryTree::kMainName});
    Deck d = buildDeck(texts);
    for (int k = 0; k < n; ++k)
        if (rng() % 5 == 0)
            d.addMark(k);
    d.setCurrentCard(n ? int(rng() % unsigned(n)) : 0, d.side());
    return d;
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Two presses in one dialog: a removal that finds no text leaves card 1
    // current, and the next press scans on from there; the stored boxes
    // come back the way they were kept.
    void pressesScanOnFromTheDecksCard()
    {
        Deck d = deckOf({{QStringLiteral("target"), QStringLiteral("t1")}, {QStringLiteral("a"), QStringLiteral("1")},
                         {QStringLiteral("a"), QStringLiteral("2")}, {QStringLiteral("a target"), QStringLiteral("t2")},
                         {QStringLiteral("z"), QStringLiteral("9")}});
        d.setCurrentCard(2, 1);
        mdk::search::Click click = mdk::search::beginSearch(d, {true, false}, QStringLiteral("zzz"), {});
        QVERIFY(click.removed && click.searched && !click.found);
        QCOMPARE(d.placeseek(), 0);
        click = mdk::search::beginSearch(d, {false, false}, QStringLiteral("target"), {});
        QVERIFY(click.found);
        QCOMPARE(d.placeseek(), 2);
        QCOMPARE(d.side(), 0);

        mdk::Options settings;
        for (const mdk::search::Options o : {mdk::search::Options{true, false}, mdk::search::Options{false, true}}) {
            mdk::search::storeOptions(settings, o);
            QCOMPARE(mdk::search::storedOptions(settings).caseSensitive, o.caseSensitive);
            QCOMPARE(mdk::search::storedOptions(settings).wholeWords, o.wholeWords);
        }
        QCOMPARE(settings.casesensitive, 0);
        QCOMPARE(settings.wholewordsonly, 1);
    }

    void matchRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("wholeWords");
        QTest::addColumn<bool>("expected");
        auto row = [](const char *name, const QString &t, const QString &p, bool cs, bool ww, bool e) {
            QTest::newRow(name) << t << p << cs << ww << e;
        };
        row("any case", QStringLiteral("xabcx"), QStringLiteral("ABC"), false, false, true);
        row("with case", QStringLiteral("xabcx"), QStringLiteral("ABC"), true, false, false);
        row("accent folds", QStringLiteral("CAFÉ"), QStringLiteral("café"), false, false, true);
        row("outside the BMP folds", QStringLiteral("x\U00010400y"), QStringLiteral("\U00010428"), false, false, true);
        row("Kelvin sign folds to k", QStringLiteral("\u212A"), QStringLiteral("k"), false, false, true);
        row("word between words", QStringLiteral("the cat sat"), QStringLiteral("cat"), false, true, true);
        row("word before a full stop", QStringLiteral("cat."), QStringLiteral("cat"), false, true, true);
        row("word alone", QStringLiteral("cat"), QStringLiteral("cat"), false, true, true);
        row("word after a line break", QStringLiteral("dog\r\ncat"), QStringLiteral("cat"), false, true, true);
        row("inside a word", QStringLiteral("concatenate"), QStringLiteral("cat"), false, true, false);
        row("before a digit", QStringLiteral("cat5"), QStringLiteral("cat"), false, true, false);
        row("after an accented letter", QStringLiteral("écat"), QStringLiteral("cat"), false, true, false);
        row("before a combining mark", QStringLiteral("cate\u0301 cat\u0301"), QStringLiteral("cat"), false, true, false);
        row("after a letter outside the BMP", QStringLiteral("\U0001D400cat"), QStringLiteral("cat"), false, true, false);
        row("a later candidate survives", QStringLiteral("cats, Cat!"), QStringLiteral("cat"), false, true, true);
        row("a later candidate with case", QStringLiteral("cats, Cat!"), QStringLiteral("cat"), true, true, false);
        row("empty pattern", QStringLiteral("cat"), QString(), false, false, false);
        row("empty pattern, empty text", QString(), QString(), true, false, false);
        row("pattern longer than text", QStringLiteral("ca"), QStringLiteral("cat"), false, false, false);
    }

    void matchRules()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, wholeWords);
        QFETCH(bool, expected);
        QCOMPARE(mdk::search::matches(text, pattern, {caseSensitive, wholeWords}), expected);
        // The literal rendering agrees on each of these.
        QCOMPARE(mdk::reference::searchString(text, pattern, {caseSensitive, wholeWords}), expected);
    }

    void scanOrder()
    {
        // "cat" is on cards 1 (side 2), 3 (side 1) and 4 (both sides).
        Deck d = deckOf({{QStringLiteral("dog"), QStringLiteral("a cat")},
                         {QStringLiteral("bird"), QStringLiteral("fish")},
                         {QStringLiteral("cat"), QStringLiteral("x")},
                         {QStringLiteral("Cat"), QStringLiteral("cat")}});
        auto found = [&d](int current, Options o = kPlain) {
            const auto f = mdk::search::scan(d, current, QStringLiteral("cat"), o);
            return f ? QPair<int, int>(f->card, f->side) : QPair<int, int>(-1, -1);
        };
        QCOMPARE(found(0), qMakePair(2, 0)); // starts after the current card
        QCOMPARE(found(2), qMakePair(3, 0)); // side 1 before side 2
        QCOMPARE(found(2, kCase), qMakePair(3, 1)); // found on side 2 with case
        QCOMPARE(found(3), qMakePair(0, 1)); // wraps to the first card
        QCOMPARE(found(-1), qMakePair(0, 1)); // no current card: from card 1

        // Marked cards are left out, the current one too.
        d.addMark(2);
        d.addMark(0);
        QCOMPARE(found(1), qMakePair(3, 0));
        d.addMark(3);
        QCOMPARE(found(1), qMakePair(-1, -1));

        // A text only on the current card is found after every other card.
        d.clearMarks();
        QList<int> scanned;
        const auto onlyHere = mdk::search::scan(d, 1, QStringLiteral("fish"), kWhole,
                                                [&scanned](int k) { scanned.append(k); });
        QVERIFY(onlyHere && onlyHere->card == 1 && onlyHere->side == 1);
        QCOMPARE(scanned, QList<int>({2, 3, 0, 1}));

        QVERIFY(!mdk::search::scan(d, 0, QString(), kPlain));
        QVERIFY(!mdk::search::scan(Deck(), 0, QStringLiteral("cat"), kPlain));
        QCOMPARE(d.placeseek(), 0); // a scan never moves the current card itself
    }

    void scanAgainstLiteral()
    {
        std::mt19937 rng(20240601);
        for (int round = 0; round < 3000; ++round) {
            // Now and then a view long enough for the scan's first-unit table.
            const Deck d = randomDeck(rng, int(rng() % (round % 8 == 0 ? 120 : 12)), 4);
            const QString pattern = randomText(rng, 2);
            const Options options{rng() % 2 == 0, rng() % 2 == 0};
            QList<int> scanned, literalScanned;
            const auto fast = mdk::search::scan(d, d.placeseek(), pattern, options,
                                                [&scanned](int k) { scanned.append(k); });
            mdk::reference::LiteralView v = literalOf(d);
            const Found literal = mdk::reference::scanLiteral(v, pattern, options, &literalScanned);
            const QByteArray where = QByteArray("round ") + QByteArray::number(round);
            QVERIFY2(fast.has_value() == (literal.card >= 0), where);
            if (fast) {
                QVERIFY2(fast->card == literal.card && fast->side == literal.side, where);
            } else {
                QVERIFY2(v.placeseek == d.placeseek(), where); // set back to the card that was current
            }
            QVERIFY2(scanned == literalScanned, where);
        }
    }

    void matchesAgainstLiteral()
    {
        std::mt19937 rng(7);
        for (int round = 0; round < 20000; ++round) {
            const QString text = randomText(rng, 6);
            const QString pattern = randomText(rng, 2);
            const Options options{rng() % 2 == 0, rng() % 2 == 0};
            QVERIFY2(mdk::search::matches(text, pattern, options)
                         == mdk::reference::searchString(text, pattern, options),
                     qPrintable(QStringLiteral("\"%1\" in \"%2\"").arg(pattern, text)));
        }
    }

    void duplicatesGroupedByFirstCopy()
    {
        // Side 1 reads a b a B b a: the copies of "a" go first (cards 3 and
        // 6), then that of "b" (card 5), not in view order; "B" stays.
        Deck d = deckOf({{QStringLiteral("a"), QStringLiteral("1")},
                         {QStringLiteral("b"), QStringLiteral("2")},
                         {QStringLiteral("a"), QStringLiteral("3")},
                         {QStringLiteral("B"), QStringLiteral("4")},
                         {QStringLiteral("b"), QStringLiteral("5")},
                         {QStringLiteral("a"), QStringLiteral("6")}});
        d.addMark(1);
        d.setCurrentCard(5, d.side());
        QCOMPARE(mdk::search::removeDuplicates(d, 0), 3);
        QCOMPARE(viewColumn(d, Column::Side2), QStringList({"1", "2", "4"}));
        QCOMPARE(deletedColumn(d, Column::Side2), QStringList({"3", "6", "5"}));
        QCOMPARE(d.marks().GetCount(), 0);
        QVERIFY(d.changed());
        QVERIFY(d.placeseek() < d.viewCount());

        // Nothing to remove still clears the marks and counts as a change.
        d.addMark(2);
        d.forgetChanges();
        QCOMPARE(mdk::search::removeDuplicates(d, 1), 0);
        QCOMPARE(d.marks().GetCount(), 0);
        QVERIFY(d.changed());
        QCOMPARE(d.deletedCount(), 3);
    }

    void duplicatesAgainstLiteral()
    {
        std::mt19937 rng(99);
        // The last rounds are large enough for the second thread.
        for (int round = 0; round < 1503; ++round) {
            Deck d = randomDeck(rng, round < 1500 ? int(rng() % 40) : 2048 + int(rng() % 1000), round < 1500 ? 2 : 3);
            mdk::reference::LiteralView v = literalOf(d);
            // Side 1, side 2 or both in the dialog's order.
            const int which = int(rng() % 3);
            for (int side = 0; side < 2; ++side) {
                if (which != 2 && which != side)
                    continue;
                const int before = d.viewCount();
                const int removed = mdk::search::removeDuplicates(d, side);
                mdk::reference::removeDuplicatesLiteral(v, side);
                QCOMPARE(removed, before - d.viewCount());
            }
            const QByteArray where = QByteArray("round ") + QByteArray::number(round);
            QVERIFY2(viewColumn(d, Column::Side1) == listOf(v.Side1List), where);
            QVERIFY2(viewColumn(d, Column::Side2) == listOf(v.Side2List), where);
            QVERIFY2(deletedColumn(d, Column::Side1) == listOf(v.UndeleteList1), where);
            QVERIFY2(deletedColumn(d, Column::Side2) == listOf(v.UndeleteList2), where);
            QVERIFY2(d.marks().GetCount() == 0 && d.changed() == v.filehaschanged, where);
        }
    }

    // The counter must move while a large view is cleaned, not jump at the
    // end: the reports come in order, end at the view's count, and never
    // skip more than 1 % of it.
    void duplicateRemovalReportsAsItWorks()
    {
        std::mt19937 rng(5);
        const int n = 20000;
        for (int side = 0; side < 2; ++side) {
            Deck d = randomDeck(rng, n, 2);
            std::vector<int> done;
            QVERIFY(mdk::search::removeDuplicates(d, side, [&](int k) { done.push_back(k); }) > 0);
            QVERIFY(!done.empty());
            QCOMPARE(done.back(), n);
            int last = 0;
            for (const int k : done) {
                QVERIFY2(k >= last && k - last <= n / 100, qPrintable(QStringLiteral("%1 after %2").arg(k).arg(last)));
                last = k;
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "test_search.moc"
