// Shuffle and flip against a literal rendering of the list steps they
// follow (orders, columns and every progress value), on random decks and
// locales; Random checked for what a random order must be.

#include "core/search/shuffle.h"
#include "search/reference_shuffle.h"
#include "support/deckbuilder.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <map>
#include <set>

using namespace mdk;
using namespace mdk::testsupport;
using shuffle::Order;
using shuffle::Phase;

Q_DECLARE_METATYPE(mdk::shuffle::Order)

namespace {

// Side-1 texts drawn from a small pool, so exact copies, copies that differ
// only in case and letters that each locale places differently all occur;
// the pool holds the free-slot filler itself, which must be sorted as any
// other text. Side 2 is unique, so a card that lost its side 2 shows.
Deck randomDeck(QRandomGenerator &rng, int n, int marks)
{
    static const QStringList pool = {
        QStringLiteral("apple"),  QStringLiteral("Apple"),  QStringLiteral("APPLE"),   QStringLiteral("äpple"),
        QStringLiteral("Äpple"),  QStringLiteral("zebra"),  QStringLiteral("Zebra"),   QStringLiteral("åsna"),
        QStringLiteral("öl"),     QStringLiteral("Öl"),     QStringLiteral("ist"),     QStringLiteral("İst"),
        QStringLiteral("ıst"),    QStringLiteral("Straße"), QStringLiteral("strasse"), QStringLiteral("chata"),
        QStringLiteral("hrad"),   QStringLiteral("10"),     QStringLiteral("9"),       QStringLiteral(""),
        QStringLiteral(" space"), QStringLiteral("-dash"),  QStringLiteral("éte"),     QStringLiteral("ete"),
        reference::kFreeSlotFiller};
    QList<CardText> cards;
    for (int i = 0; i < n; ++i) {
        QString side1 = pool[rng.bounded(int(pool.size()))];
        if (rng.bounded(3) == 0) // some longer, mostly distinct texts
            side1 += QString::number(rng.bounded(1000));
        cards.append({side1, QStringLiteral("side two %1").arg(i), CategoryTree::kMainName});
    }
    Deck d = buildDeck(cards);
    for (int i = 0; i < marks && n > 0; ++i)
        d.addMark(int(rng.bounded(n)));
    d.setCurrentCard(n > 0 ? int(rng.bounded(n)) : 0, d.side());
    d.setSide(int(rng.bounded(2)));
    return d;
}

std::vector<std::pair<Phase, int>> shuffleTraced(Deck &d, Order order, std::mt19937_64 &rng, const QLocale &locale)
{
    std::vector<std::pair<Phase, int>> trace;
    shuffle::shuffleView(d, order, rng, locale, [&](Phase p, int v) { trace.push_back({p, v}); });
    return trace;
}

QList<std::pair<QString, QString>> cardsOf(const Deck &d)
{
    QList<std::pair<QString, QString>> out;
    for (int k = 0; k < d.viewCount(); ++k)
        out.append({d.viewSide1(k), d.viewSide2(k)});
    return out;
}

// What every shuffle leaves besides the order.
void checkShuffledState(const Deck &d)
{
    QCOMPARE(d.marks().GetCount(), 0);
    QCOMPARE(d.placeseek(), 0);
    QCOMPARE(d.side(), 0);
    QVERIFY(d.changed());
}

} // namespace

class TestShuffle : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ordersMatchLiteral_data();
    void ordersMatchLiteral();
    void randomIsAReproduciblePermutation();
    void randomReachesEveryOrderEvenly();
    void flipSwapsSidesAndKeepsTheRest();
    void alphabetizeReportsEachPercentAsItWorks();
};

void TestShuffle::ordersMatchLiteral_data()
{
    QTest::addColumn<Order>("order");
    QTest::addColumn<QString>("localeName");
    QTest::newRow("reverse") << Order::Reverse << QStringLiteral("C");
    QTest::newRow("pattern") << Order::Pattern << QStringLiteral("C");
    QTest::newRow("alphabetize C") << Order::Alphabetize << QStringLiteral("C");
    QTest::newRow("alphabetize en_US") << Order::Alphabetize << QStringLiteral("en_US");
    QTest::newRow("alphabetize sv_SE") << Order::Alphabetize << QStringLiteral("sv_SE");
    QTest::newRow("alphabetize tr_TR") << Order::Alphabetize << QStringLiteral("tr_TR");
    QTest::newRow("alphabetize cs_CZ") << Order::Alphabetize << QStringLiteral("cs_CZ");
}

// Small decks of every size up to 12, decks around the progress bar's 100
// steps, and one large enough that Alphabetize cuts it into buckets.
void TestShuffle::ordersMatchLiteral()
{
    QFETCH(Order, order);
    QFETCH(QString, localeName);
    const QLocale locale(localeName);
    QRandomGenerator rng(4242);
    std::mt19937_64 unused(1);
    std::vector<int> sizes;
    for (int round = 0; round < 60; ++round)
        sizes.push_back(round % 13);
    for (int n : {33, 49, 50, 51, 99, 100, 101, 150, 333})
        sizes.push_back(n);
    sizes.push_back(2600);
    for (int n : sizes) {
        Deck d = randomDeck(rng, n, int(rng.bounded(4)));
        const QStringList before1 = viewColumn(d, Column::Side1), before2 = viewColumn(d, Column::Side2);
        const auto trace = shuffleTraced(d, order, unused, locale);
        const reference::LiteralShuffle slow = reference::literalShuffle(before1, before2, order, locale);
        QCOMPARE(viewColumn(d, Column::Side1), slow.side1);
        QCOMPARE(viewColumn(d, Column::Side2), slow.side2);
        QVERIFY2(trace == slow.bar, qPrintable(QStringLiteral("progress differs at n = %1").arg(n)));
        checkShuffledState(d);
    }
}

// Random: the same cards in some order, each with its own side 2; the same
// seed gives the same order; its progress follows the four quarters.
void TestShuffle::randomIsAReproduciblePermutation()
{
    QRandomGenerator texts(99);
    for (int n : {2, 3, 7, 100, 1000}) {
        Deck a = randomDeck(texts, n, 2);
        Deck b = a;
        const auto cardsBefore = cardsOf(a);
        std::mt19937_64 rngA(2024), rngB(2024);
        const auto trace = shuffleTraced(a, Order::Random, rngA, QLocale::c());
        shuffle::shuffleView(b, Order::Random, rngB, QLocale::c());
        auto sortedBefore = cardsBefore, sortedAfter = cardsOf(a);
        std::sort(sortedBefore.begin(), sortedBefore.end());
        std::sort(sortedAfter.begin(), sortedAfter.end());
        QCOMPARE(sortedAfter, sortedBefore);
        QCOMPARE(cardsOf(b), cardsOf(a));
        checkShuffledState(a);

        const auto slow = reference::literalShuffle(viewColumn(a, Column::Side1), viewColumn(a, Column::Side2),
                                                    Order::Random, QLocale::c());
        QVERIFY(trace == slow.bar);
    }
}

// All six orders of three cards turn up over 600 draws, each near its
// expected 100 (the bounds are over four standard deviations wide, and the
// seed is fixed).
void TestShuffle::randomReachesEveryOrderEvenly()
{
    std::mt19937_64 rng(77);
    std::map<std::vector<int>, int> seen;
    for (int draw = 0; draw < 600; ++draw) {
        const std::vector<int> order = shuffle::randomOrder(3, rng);
        QCOMPARE(std::set<int>(order.begin(), order.end()), (std::set<int>{0, 1, 2}));
        ++seen[order];
    }
    QCOMPARE(int(seen.size()), 6);
    for (const auto &[order, count] : seen)
        QVERIFY2(count > 55 && count < 145, qPrintable(QString::number(count)));
}

void TestShuffle::flipSwapsSidesAndKeepsTheRest()
{
    QRandomGenerator rng(5);
    Deck d = randomDeck(rng, 40, 5);
    d.forgetChanges();
    const QStringList side1 = viewColumn(d, Column::Side1), side2 = viewColumn(d, Column::Side2);
    const QStringList marks = markTexts(d.marks());
    const int placeseek = d.placeseek(), side = d.side();

    shuffle::flip(d);
    QCOMPARE(viewColumn(d, Column::Side1), side2);
    QCOMPARE(viewColumn(d, Column::Side2), side1);
    QCOMPARE(markTexts(d.marks()), marks);
    QCOMPARE(d.placeseek(), placeseek);
    QCOMPARE(d.side(), side);
    QVERIFY(d.changed());
    QCOMPARE(d.fileCount(), 40); // the view only: the file's cards wait for the write-back
    QCOMPARE(fileColumn(d, Column::Side1), side1);

    shuffle::flip(d);
    QCOMPARE(viewColumn(d, Column::Side1), side1);
    QCOMPARE(viewColumn(d, Column::Side2), side2);
}

// The bar must move while a large view is sorted, not jump at the end: the
// steps come in order, end at 2n, and never skip a whole percent. On one
// thread, so that the reports do not depend on how the threads are run.
void TestShuffle::alphabetizeReportsEachPercentAsItWorks()
{
    QRandomGenerator rng(7);
    const int n = 20000;
    const Deck d = randomDeck(rng, n, 0);
    for (const QString &name : {QStringLiteral("C"), QStringLiteral("en_US")}) {
        std::vector<qint64> steps;
        const std::vector<int> order = shuffle::alphabetizeOrder(d, QLocale(name), [&](qint64 s) { steps.push_back(s); }, false);
        QCOMPARE(int(order.size()), n);
        QVERIFY(!steps.empty());
        QCOMPARE(steps.back(), qint64(2 * n));
        qint64 last = 0;
        for (const qint64 s : steps) {
            QVERIFY2(s >= last && s - last <= 2 * n / 100, qPrintable(QStringLiteral("%1 after %2").arg(s).arg(last)));
            last = s;
        }
    }
}

QTEST_GUILESS_MAIN(TestShuffle)
#include "test_shuffle.moc"
