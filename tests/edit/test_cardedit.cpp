// The card commands' rules against a literal rendering of the list steps
// and display rules they follow, on random sequences, plus the cases a
// random sequence rarely reaches.

#include "core/edit/cardedit.h"
#include "core/study/study.h"
#include "deck/reference.h"
#include "support/deckbuilder.h"

#include <QRandomGenerator>
#include <QTest>

using namespace mdk;
using namespace mdk::testsupport;
using reference::LiteralDeck;

namespace {

QStringList texts(const TextList &list)
{
    QStringList out;
    for (const QString &s : list.items())
        out << s;
    return out;
}

void compareDecks(const Deck &a, const edit::CopyMemory &memory, const LiteralDeck &b)
{
    QCOMPARE(viewColumn(a, Column::Side1), texts(b.Side1List));
    QCOMPARE(viewColumn(a, Column::Side2), texts(b.Side2List));
    QCOMPARE(deletedColumn(a, Column::Side1), texts(b.UndeleteList1));
    QCOMPARE(deletedColumn(a, Column::Side2), texts(b.UndeleteList2));
    QCOMPARE(markTexts(a.marks()), b.MarkList);
    QCOMPARE(a.placeseek(), b.placeseek);
    QCOMPARE(a.side(), b.side);
    QCOMPARE(memory.cardinmemory, b.cardinmemory);
    if (memory.cardinmemory) {
        QCOMPARE(memory.side1, b.memory1);
        QCOMPARE(memory.side2, b.memory2);
    }
}

// What the window does after a command: show the current card.
void show(Deck &d) { study::settle(d); }

// Four cards q1..q4 (or n), the given one current (1-based), side 1.
Deck deckAt(int n, int current)
{
    Deck d = mainDeck(n);
    d.setCurrentCard(current - 1, d.side());
    return d;
}

} // namespace

class TestCardEdit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandsMatchLiteralOnRandomSequences();
    void deleteAndCutShowTheRightCard_data();
    void deleteAndCutShowTheRightCard();
    void deleteRenumbersMarksAndSkipsMarkedCards();
    void pasteIntoEmptyViewAndMarksAtTheInsertionPoint();
};

void TestCardEdit::commandsMatchLiteralOnRandomSequences()
{
    QRandomGenerator rng(8128);
    for (int round = 0; round < 400; ++round) {
        const int n = int(rng.bounded(9));
        const int capacity = rng.bounded(4) == 0 ? n + 1 + int(rng.bounded(3)) : Deck::kDefaultCapacity;
        QList<CardText> cards;
        for (int i = 0; i < n; ++i)
            cards.append({QStringLiteral("q%1").arg(i), QStringLiteral("a%1").arg(i), CategoryTree::kMainName});
        Deck fast = buildDeck(cards, {}, capacity);
        edit::CopyMemory memory;
        LiteralDeck slow(capacity);
        for (const CardText &c : cards)
            slow.addFileCard(c.side1, c.side2, c.category);
        reference::loadView(slow, CategoryTree::kMainName);
        QString log;

        for (int step = 0; step < 40; ++step) {
            const QString s1 = QStringLiteral("s%1").arg(step), s2 = QStringLiteral("t%1").arg(step);
            const int count = fast.viewCount();
            switch (rng.bounded(12)) {
            case 0:
                log += QStringLiteral(" add");
                QCOMPARE(edit::addCard(fast, s1, s2), reference::addViewCard(slow, s1, s2));
                break;
            case 1:
            case 2:
                log += QStringLiteral(" delete@%1").arg(fast.placeseek());
                if (edit::mayDelete(fast))
                    edit::deleteCard(fast, fast.placeseek());
                reference::deleteCommand(slow);
                break;
            case 3:
                log += QStringLiteral(" cut@%1").arg(fast.placeseek());
                edit::cutCard(fast, fast.placeseek(), memory);
                reference::cutCommand(slow);
                break;
            case 4:
                log += QStringLiteral(" copy@%1").arg(fast.placeseek());
                edit::copyCard(fast, fast.placeseek(), memory);
                reference::copyCommand(slow);
                break;
            case 5:
                log += QStringLiteral(" paste@%1").arg(fast.placeseek());
                QCOMPARE(edit::pasteCard(fast, memory) == edit::PasteResult::Pasted, reference::pasteCommand(slow));
                break;
            case 6:
            case 7:
                log += QStringLiteral(" mark@%1").arg(fast.placeseek());
                QCOMPARE(study::markCurrent(fast) == study::MarkResult::Marked, reference::markCommand(slow));
                break;
            case 8:
                if (fast.deletedCount() > 0 && rng.bounded(3)) {
                    const int u = int(rng.bounded(fast.deletedCount()));
                    log += QStringLiteral(" undelete%1").arg(u);
                    QCOMPARE(edit::undeleteCard(fast, u), reference::undeleteOne(slow, u));
                } else {
                    log += QStringLiteral(" undeleteAll");
                    QCOMPARE(edit::undeleteAll(fast), reference::undeleteAll(slow));
                }
                break;
            case 9:
                if (count > 0) {
                    log += QStringLiteral(" edit@%1").arg(fast.placeseek());
                    edit::editCard(fast, fast.placeseek(), s1, s2);
                    reference::editViewCard(slow, slow.placeseek, s1, s2);
                }
                break;
            case 10: {
                // Jump to a card (out of range numbers only reset the side).
                const int number = int(rng.bounded(count + 2));
                log += QStringLiteral(" jump%1").arg(number);
                study::acceptJump(fast, number);
                slow.side = 0;
                if (number >= 1 && number <= count)
                    slow.placeseek = number - 1;
                break;
            }
            default:
                if (rng.bounded(2)) {
                    log += QStringLiteral(" forward");
                    study::stepForward(fast);
                    reference::changeSide(slow);
                } else {
                    log += QStringLiteral(" back");
                    study::stepBackward(fast);
                    reference::changeSideBackwards(slow);
                }
                break;
            }
            show(fast);
            reference::setText(slow);
            compareDecks(fast, memory, slow);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("round %1, step %2:%3").arg(round).arg(step).arg(log)));
        }
    }
}

void TestCardEdit::deleteAndCutShowTheRightCard_data()
{
    QTest::addColumn<int>("cards");
    QTest::addColumn<int>("current"); // 1-based
    QTest::addColumn<bool>("cut");
    QTest::addColumn<int>("shownNumber");
    QTest::addColumn<QString>("shownText");
    // Delete passes over the card that moved into the gap; cut shows it.
    QTest::newRow("delete 2 of 4") << 4 << 2 << false << 3 << QStringLiteral("q4");
    QTest::newRow("cut 2 of 4") << 4 << 2 << true << 2 << QStringLiteral("q3");
    QTest::newRow("delete 2 of 3") << 3 << 2 << false << 1 << QStringLiteral("q1");
    // After the last card: delete wraps round to the first, cut shows the
    // card before.
    QTest::newRow("delete 3 of 3") << 3 << 3 << false << 1 << QStringLiteral("q1");
    QTest::newRow("cut 3 of 3") << 3 << 3 << true << 2 << QStringLiteral("q2");
    QTest::newRow("delete 1 of 1") << 1 << 1 << false << 1 << QString();
    QTest::newRow("cut 1 of 1") << 1 << 1 << true << 1 << QString();
}

void TestCardEdit::deleteAndCutShowTheRightCard()
{
    QFETCH(int, cards);
    QFETCH(int, current);
    QFETCH(bool, cut);
    QFETCH(int, shownNumber);
    QFETCH(QString, shownText);
    Deck d = deckAt(cards, current);
    d.setSide(1); // whichever side was shown, side 1 of the new card is
    const QString gone = d.viewSide1(current - 1);
    edit::CopyMemory memory;
    if (cut)
        edit::cutCard(d, d.placeseek(), memory);
    else
        edit::deleteCard(d, d.placeseek());
    show(d);
    QCOMPARE(d.viewCount(), cards - 1);
    QCOMPARE(d.placeseek() + 1, shownNumber);
    QCOMPARE(d.side(), 0);
    QCOMPARE(study::shownText(d), shownText);
    QCOMPARE(d.deletedCount(), cut ? 0 : 1);
    QCOMPARE(memory.side1, cut ? gone : QString());
}

void TestCardEdit::deleteRenumbersMarksAndSkipsMarkedCards()
{
    Deck d = deckAt(7, 3);
    for (int m : {0, 4, 5})
        d.addMark(m);
    edit::deleteCard(d, d.placeseek());
    show(d);
    QCOMPARE(markTexts(d.marks()), (QStringList{"0", "3", "4"}));
    // Past q4 (now card 3, which took the gap) and the marked q5, q6.
    QCOMPARE(study::shownText(d), QStringLiteral("q7"));

    // With the last card gone and the first one marked, the display wraps
    // to the first unmarked card.
    Deck last = deckAt(4, 4);
    last.addMark(0);
    edit::deleteCard(last, last.placeseek());
    show(last);
    QCOMPARE(study::shownText(last), QStringLiteral("q2"));
    QCOMPARE(last.side(), 0);

    // Delete is refused while it would leave only marked cards.
    Deck two = deckAt(3, 1);
    two.addMark(1);
    QVERIFY(edit::mayDelete(two));
    two.addMark(2);
    QVERIFY(!edit::mayDelete(two));
}

void TestCardEdit::pasteIntoEmptyViewAndMarksAtTheInsertionPoint()
{
    Deck d = mainDeck(0);
    edit::CopyMemory memory;
    QCOMPARE(edit::pasteCard(d, memory), edit::PasteResult::NothingCopied);
    memory = {QStringLiteral("kept"), QStringLiteral("side two"), 1};
    d.setSide(1);
    QCOMPARE(edit::pasteCard(d, memory), edit::PasteResult::Pasted);
    show(d);
    QCOMPARE(d.viewCount(), 1);
    QCOMPARE(d.placeseek(), 0);
    QCOMPARE(d.side(), 0);
    QCOMPARE(study::shownText(d), QStringLiteral("kept"));

    // The card at the insertion point moves up, and so does its mark: the
    // marked card stays marked and the pasted card is not.
    Deck m = deckAt(4, 2);
    m.addMark(1);
    m.addMark(3);
    edit::copyCard(m, 0, memory);
    QCOMPARE(edit::pasteCard(m, memory), edit::PasteResult::Pasted);
    QCOMPARE(markTexts(m.marks()), (QStringList{"2", "4"}));
    QVERIFY(!m.marks().isMarked(1));
    QCOMPARE(viewColumn(m, Column::Side1), (QStringList{"q1", "q1", "q2", "q3", "q4"}));
    QCOMPARE(m.placeseek(), 1);
}

QTEST_GUILESS_MAIN(TestCardEdit)
#include "test_cardedit.moc"
