// Inputs the reader's fuzzer found faulty, each with the outcome a sound
// reader gives. Under the sanitizers of the fuzz build they crashed; here
// they pin down what the deck must hold afterwards.

#include "core/deck/cardfile.h"
#include "core/deck/deck.h"
#include "support/cardfilebytes.h"

#include <QTest>

namespace {

using mdk::testsupport::cardFields;

std::string_view view(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), size_t(bytes.size()));
}

QStringList treeLines(const mdk::Deck &deck)
{
    QStringList lines;
    for (int id : deck.tree().preorder(deck.tree().root())) {
        const int parent = deck.tree().parent(id);
        lines << deck.tree().name(id) + QLatin1Char('<')
                     + (parent == mdk::CategoryTree::None ? QString() : deck.tree().name(parent));
    }
    return lines;
}

QStringList cardLines(const mdk::Deck &deck)
{
    QStringList lines;
    for (int j = 0; j < deck.fileCount(); ++j)
        lines << deck.fileSide1(j) + QLatin1Char('|') + deck.fileSide2(j) + QLatin1Char('|')
                     + deck.fileCategory(j);
    return lines;
}

} // namespace

class TestFuzzFindings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A file that ends before a record is complete: the missing fields were
    // handed on as views without data, and memchr was called on a null
    // pointer (UBSan: "null pointer passed as argument 1").
    void fileEndingInsideARecord_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QStringList>("cards");
        QTest::newRow("inside a card, last field unterminated")
            << QByteArray("3\aMain\aRoot\aA\aMain\aB\aA\afront\aback\aB\ahalf a car")
            << QStringList{"Main<", "A<Main", "B<A"}
            << QStringList{"front|back|B", "half a car||"};
        QTest::newRow("after side 2")
            << cardFields({"1", "Main", "Root", "one", "two"})
            << QStringList{"Main<"} << QStringList{"one|two|"};
        // The missing parent name matches no node: the category goes under
        // the last node in pre-order.
        QTest::newRow("inside a category record")
            << QByteArray("3\aMain\aRoot\aA\aMain\aB")
            << QStringList{"Main<", "A<Main", "B<A"} << QStringList{};
        QTest::newRow("only the count") << QByteArray("7") << QStringList{"Main<"} << QStringList{};
    }

    void fileEndingInsideARecord()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, tree);
        QFETCH(QStringList, cards);
        mdk::Deck deck;
        const mdk::cardfile::LoadReport report = mdk::cardfile::parse(view(bytes), deck);
        QCOMPARE(report.cards, int(cards.size()));
        QCOMPARE(treeLines(deck), tree);
        QCOMPARE(cardLines(deck), cards);

        // Saved and read again, the deck keeps its cards and categories;
        // empty sides come back as the single space the writer stores.
        deck.WriteBackView(); // as a save does
        const QByteArray saved = mdk::cardfile::serializeDeck(deck);
        mdk::Deck again;
        mdk::cardfile::parse(view(saved), again);
        QCOMPARE(treeLines(again), tree);
        QCOMPARE(again.fileCount(), int(cards.size()));
        for (int j = 0; j < again.fileCount(); ++j) {
            QVERIFY(!again.fileSide1(j).isEmpty());
            QVERIFY(!again.fileSide2(j).isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestFuzzFindings)
#include "test_fuzzfindings.moc"
