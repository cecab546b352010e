// The study rules without a window: stepping past marks, marking, the jump
// number, the Information counts and the auto-repeat state machine.

#include "core/study/autorepeat.h"
#include "core/study/study.h"
#include "core/study/zoom.h"
#include "support/deckbuilder.h"

#include <QTest>

using namespace mdk;

namespace {

Deck deckOf(int count) { return testsupport::mainDeck(count); }

// (card number, side number) as the caption shows them.
QPair<int, int> at(const Deck &d) { return {d.placeseek() + 1, d.side() + 1}; }

} // namespace

class StudyTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void forwardRunsThroughBothSidesAndWraps();
    void backwardRunsTheCycleInReverse();
    void marksAreSkippedBothWays();
    void singleCardAlternatesSides();
    void allMarkedClearsMarks();
    void strayMarksCannotHangStepping();
    void settleMovesOffAMarkedCard();
    void emptyViewDoesNothing();
    void captionAndShownText();
    void zoomStepsStayWithinTheirBounds();

    void markStepsToNextUnmarkedCard();
    void markRefusesTheLastUnmarkedCard();

    void jumpNumberParsesLikeTheEditField_data();
    void jumpNumberParsesLikeTheEditField();
    void jumpAcceptsOnlyCardsInView();

    void informationCounts();
    void informationOnNewDeckLeavesNameBlank();

    void autoRepeatPressRepeatRelease();
    void autoRepeatStopsWhenPointerLeaves();
    void autoRepeatOtherButtonKeepsTimer();
};

void StudyTest::forwardRunsThroughBothSidesAndWraps()
{
    Deck d = deckOf(3);
    QList<QPair<int, int>> seen{at(d)};
    for (int i = 0; i < 6; ++i) {
        QVERIFY(study::stepForward(d));
        seen << at(d);
    }
    QCOMPARE(seen, (QList<QPair<int, int>>{{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 1}, {3, 2}, {1, 1}}));
}

void StudyTest::backwardRunsTheCycleInReverse()
{
    Deck d = deckOf(3);
    QList<QPair<int, int>> seen{at(d)};
    for (int i = 0; i < 6; ++i) {
        QVERIFY(study::stepBackward(d));
        seen << at(d);
    }
    QCOMPARE(seen, (QList<QPair<int, int>>{{1, 1}, {3, 2}, {3, 1}, {2, 2}, {2, 1}, {1, 2}, {1, 1}}));
}

void StudyTest::marksAreSkippedBothWays()
{
    Deck d = deckOf(3);
    d.addMark(1); // card 2
    d.setSide(1);     // card 1, side 2
    study::stepForward(d);
    QCOMPARE(at(d), qMakePair(3, 1));
    study::stepBackward(d);
    QCOMPARE(at(d), qMakePair(1, 2));
    // After the last card's side 2 the first unmarked card follows.
    Deck e = deckOf(4);
    e.addMark(0);
    e.setCurrentCard(3, e.side());
    e.setSide(1);
    study::stepForward(e);
    QCOMPARE(at(e), qMakePair(2, 1));
    // From card 2 side 1 backwards: card 1 is marked, so the last card.
    study::stepBackward(e);
    QCOMPARE(at(e), qMakePair(4, 2));
    QCOMPARE(e.marks().GetCount(), 1);
}

void StudyTest::singleCardAlternatesSides()
{
    Deck d = deckOf(1);
    for (int i = 0; i < 4; ++i) {
        study::stepForward(d);
        QCOMPARE(at(d), qMakePair(1, i % 2 == 0 ? 2 : 1));
    }
    study::stepBackward(d);
    QCOMPARE(at(d), qMakePair(1, 2));
}

void StudyTest::allMarkedClearsMarks()
{
    Deck d = deckOf(3);
    for (int k = 0; k < 3; ++k)
        d.addMark(k);
    d.setSide(1);
    study::stepForward(d);
    QCOMPARE(d.marks().GetCount(), 0);
    QCOMPARE(at(d), qMakePair(2, 1));

    Deck e = deckOf(2);
    e.addMark(0);
    e.addMark(1);
    study::settle(e);
    QCOMPARE(e.marks().GetCount(), 0);
    QCOMPARE(at(e), qMakePair(1, 1));
}

void StudyTest::strayMarksCannotHangStepping()
{
    // Marks that name cards outside the view: every real card marked, but
    // the counts differ. Stepping must still end.
    Deck d = deckOf(2);
    d.addMark(0);
    d.addMark(1);
    d.addMark(7);
    d.setSide(1);
    study::stepForward(d);
    QCOMPARE(d.side(), 0);
    QVERIFY(d.placeseek() >= 0 && d.placeseek() < 2);
    QCOMPARE(d.marks().GetCount(), 0);
    d.addMark(0);
    d.addMark(1);
    d.addMark(9);
    d.setSide(0);
    study::stepBackward(d);
    QCOMPARE(d.side(), 1);
    QCOMPARE(d.marks().GetCount(), 0);
}

void StudyTest::settleMovesOffAMarkedCard()
{
    Deck d = deckOf(4);
    d.addMark(2);
    d.setCurrentCard(2, d.side()); // a jump landed on a marked card
    d.setSide(1);
    study::settle(d);
    QCOMPARE(at(d), qMakePair(4, 1));
    d.addMark(3);
    study::settle(d); // wraps to the first unmarked card
    QCOMPARE(at(d), qMakePair(1, 1));
}

void StudyTest::emptyViewDoesNothing()
{
    Deck d;
    QVERIFY(!study::stepForward(d));
    QVERIFY(!study::stepBackward(d));
    study::settle(d);
    QCOMPARE(at(d), qMakePair(1, 1));
    QCOMPARE(study::markCurrent(d), study::MarkResult::Empty);
}

void StudyTest::captionAndShownText()
{
    Deck d = deckOf(3);
    d.setCurrentCard(2, d.side());
    QCOMPARE(study::cardCaption(d), QStringLiteral("Card 3, side 1"));
    QCOMPARE(study::shownText(d), QStringLiteral("q3"));
    d.setSide(1);
    QCOMPARE(study::cardCaption(d), QStringLiteral("Card 3, side 2"));
    QCOMPARE(study::shownText(d), QStringLiteral("a3"));
    QVERIFY(d.replaceViewCard(2, d.viewSide1(2), QString(12'000, QLatin1Char('x'))));
    QCOMPARE(study::shownText(d).size(), 10'000);
}

void StudyTest::markStepsToNextUnmarkedCard()
{
    Deck d = deckOf(3);
    d.addMark(1);
    // Two unmarked cards left (1 and 3): marking card 1 shows card 3.
    QCOMPARE(study::markCurrent(d), study::MarkResult::Marked);
    QCOMPARE(at(d), qMakePair(3, 1));
    QCOMPARE(d.marks().values(), (std::vector<int>{1, 0}));
    study::unmarkAll(d);
    QCOMPARE(d.marks().GetCount(), 0);
}

void StudyTest::markRefusesTheLastUnmarkedCard()
{
    Deck d = deckOf(2);
    d.addMark(1);
    QCOMPARE(study::markCurrent(d), study::MarkResult::WouldMarkAll);
    QCOMPARE(d.marks().GetCount(), 1);
    QCOMPARE(at(d), qMakePair(1, 1));
    Deck one = deckOf(1);
    QCOMPARE(study::markCurrent(one), study::MarkResult::WouldMarkAll);
}

void StudyTest::jumpNumberParsesLikeTheEditField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::newRow("plain") << "3" << 3;
    QTest::newRow("blanks") << "  12" << 12;
    QTest::newRow("sign") << "+4" << 4;
    QTest::newRow("negative") << "-2" << -2;
    QTest::newRow("trailing") << "7abc" << 7;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("huge") << "99999999999999" << INT_MAX;
}

void StudyTest::jumpNumberParsesLikeTheEditField()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    QCOMPARE(study::jumpNumber(text), number);
}

void StudyTest::jumpAcceptsOnlyCardsInView()
{
    Deck d = deckOf(5);
    d.setCurrentCard(1, d.side());
    for (int bad : {0, 6, -1, INT_MAX}) {
        d.setSide(1);
        QVERIFY(!study::acceptJump(d, bad));
        QCOMPARE(d.side(), 0); // side 1 will show whatever happens
        QCOMPARE(d.placeseek(), 1);
    }
    QVERIFY(study::acceptJump(d, 3));
    QCOMPARE(at(d), qMakePair(3, 1));
    QVERIFY(study::acceptJump(d, 5));
    QCOMPARE(d.placeseek(), 4);
}

void StudyTest::informationCounts()
{
    QList<testsupport::CardText> cards;
    for (const char *cat : {"Main", "Verbs", "Main", "Verbs", "Verbs"})
        cards.append({QStringLiteral("s"), QStringLiteral("t"), QString::fromLatin1(cat)});
    Deck d = testsupport::buildDeck(cards, {{"Verbs", "Main"}, {"Irregular", "Verbs"}});
    d.selectCategory(d.tree().findByName(QStringLiteral("Verbs")));
    d.OpenCategory();
    d.RemoveViewCard(0);
    d.addMark(1);
    d.forgetChanges();
    const study::Information info = study::information(d, QStringLiteral("spanish"), QStringLiteral("/home/me"));
    QCOMPARE(info.fileName, QStringLiteral("spanish"));
    QCOMPARE(info.location, QStringLiteral("/home/me"));
    QCOMPARE(info.totalCards, QStringLiteral("4")); // the deleted card is gone after the write-back
    QCOMPARE(info.markedCards, QStringLiteral("1"));
    QCOMPARE(info.deletedCards, QStringLiteral("1"));
    QCOMPARE(info.totalCategories, QStringLiteral("3"));
    QCOMPARE(info.cardsInCategory, QStringLiteral("2"));
    QVERIFY(!d.changed());
    // The open category's cards were folded back to the end of the file.
    QCOMPARE(d.fileCategory(3), QStringLiteral("Verbs"));
}

void StudyTest::informationOnNewDeckLeavesNameBlank()
{
    Deck d;
    const study::Information info = study::information(d, QString(), QStringLiteral("/ignored"));
    QVERIFY(info.fileName.isEmpty() && info.location.isEmpty());
    QVERIFY(info.totalCards.isEmpty() && info.markedCards.isEmpty() && info.deletedCards.isEmpty());
    QCOMPARE(info.totalCategories, QStringLiteral("1"));
    QCOMPARE(info.cardsInCategory, QStringLiteral("0"));
}

void StudyTest::autoRepeatPressRepeatRelease()
{
    using A = AutoRepeat;
    A r;
    QCOMPARE(r.press(A::Button::Left), (A::Action{A::Step::Forward, 500, A::Timer::Keep}));
    QVERIFY(r.LButtonHeld && !r.RButtonHeld);
    QCOMPARE(r.tick(true), (A::Action{A::Step::Forward, 100, A::Timer::Keep}));
    QCOMPARE(r.tick(true), (A::Action{A::Step::Forward, 100, A::Timer::Keep}));
    QCOMPARE(r.release(A::Button::Left), (A::Action{A::Step::None, 0, A::Timer::Stop}));
    QCOMPARE(r.press(A::Button::Right), (A::Action{A::Step::Backward, 500, A::Timer::Keep}));
    QVERIFY(!r.LButtonHeld && r.RButtonHeld);
    QCOMPARE(r.tick(true), (A::Action{A::Step::Backward, 100, A::Timer::Keep}));
    // A tick with nothing held stops the timer instead of idling.
    r.release(A::Button::Right);
    QCOMPARE(r.tick(true).timer, A::Timer::Stop);
}

void StudyTest::autoRepeatStopsWhenPointerLeaves()
{
    using A = AutoRepeat;
    A r;
    r.press(A::Button::Left);
    QCOMPARE(r.tick(false), (A::Action{A::Step::None, 0, A::Timer::Stop}));
    QVERIFY(!r.LButtonHeld && !r.RButtonHeld);
    QCOMPARE(r.tick(true).step, A::Step::None); // coming back does not resume
}

void StudyTest::autoRepeatOtherButtonKeepsTimer()
{
    using A = AutoRepeat;
    A r;
    r.press(A::Button::Left);
    r.press(A::Button::Right); // the right press takes over
    QVERIFY(!r.LButtonHeld && r.RButtonHeld);
    QCOMPARE(r.release(A::Button::Left).timer, A::Timer::Keep);
    QCOMPARE(r.tick(true).step, A::Step::Backward);
}

void StudyTest::zoomStepsStayWithinTheirBounds()
{
    // Up from any value and back down: strictly monotone, inside the
    // bounds, stopping at them, and 100 % is on the way.
    for (int start = 0; start <= 500; start += 7) {
        int up = start, steps = 0;
        bool passedNormal = false;
        while (up < zoom::kMax && steps++ < 50) {
            const int next = zoom::larger(up);
            QVERIFY(next > zoom::bounded(up) && next <= zoom::kMax);
            passedNormal = passedNormal || next == zoom::kNormal;
            up = next;
        }
        QCOMPARE(zoom::larger(up), zoom::kMax);
        QVERIFY(passedNormal || start >= zoom::kNormal);
        int down = up;
        while (down > zoom::kMin && steps++ < 100) {
            const int next = zoom::smaller(down);
            QVERIFY(next < down && next >= zoom::kMin);
            down = next;
        }
        QCOMPARE(zoom::smaller(down), zoom::kMin);
    }
    QCOMPARE(zoom::statusText(999), QStringLiteral("Zoom 400%"));
}

QTEST_GUILESS_MAIN(StudyTest)
#include "test_study.moc"
