// The printing rules that need no page: pagination, the dialog's opening
// state, the deck's state around a job, and the fold-back at the start of
// the Print command.

#include "core/print/printjob.h"
#include "support/deckbuilder.h"

#include <QTest>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

// Main > Verbs > Irregular, Main > Verbs > Empty, Main > Nouns; "Verbs" has
// no card of its own, and one card names a category the tree lacks.
Deck sampleDeck()
{
    return buildDeck({{QStringLiteral("m1"), QStringLiteral("M1"), QStringLiteral("Main")},
                      {QStringLiteral("i1"), QStringLiteral("I1"), QStringLiteral("Irregular")},
                      {QStringLiteral("n1"), QStringLiteral("N1"), QStringLiteral("Nouns")},
                      {QStringLiteral("g1"), QStringLiteral("G1"), QStringLiteral("Ghost")},
                      {QStringLiteral("i2"), QStringLiteral("I2"), QStringLiteral("Irregular")},
                      {QStringLiteral("m2"), QStringLiteral("M2"), QStringLiteral("Main")}},
                     {{QStringLiteral("Verbs"), QStringLiteral("Main")},
                      {QStringLiteral("Irregular"), QStringLiteral("Verbs")},
                      {QStringLiteral("Empty"), QStringLiteral("Verbs")},
                      {QStringLiteral("Nouns"), QStringLiteral("Main")}});
}

void select(Deck &deck, const QString &name)
{
    deck.selectCategory(deck.tree().findByName(name));
    print::beginPrintCommand(deck);
}

} // namespace

class TestPrintJob : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pagesRoundUp()
    {
        QCOMPARE(print::pageCount(0, true), 0);
        QCOMPARE(print::pageCount(3, true), 1);
        QCOMPARE(print::pageCount(4, true), 2);
        QCOMPARE(print::pageCount(46, false), 2);
        QCOMPARE(print::pageCount(47, false), 3);
    }

    void dialogStartAdjustsTheSavedChoice()
    {
        // Cards only below the selection: "this category" becomes "with
        // sub-categories"; the other choices stay.
        Deck deck = sampleDeck();
        select(deck, QStringLiteral("Verbs"));
        QCOMPARE(deck.viewCount(), 0);
        print::DialogStart start = print::dialogStart(deck, print::ThisCategory);
        QVERIFY(start.haveFoundCards);
        QCOMPARE(start.scope, int(print::CategoryAndSubs));
        QCOMPARE(print::dialogStart(deck, print::AllCards).scope, int(print::AllCards));
        QCOMPARE(print::refusal(deck, print::ThisCategory, true), print::kNoCardsInCategory);
        QVERIFY(print::refusal(deck, print::CategoryAndSubs, true).isEmpty());

        // Nothing in the category or below: every choice becomes "all cards".
        select(deck, QStringLiteral("Empty"));
        start = print::dialogStart(deck, print::CategoryAndSubs);
        QVERIFY(!start.haveFoundCards);
        QCOMPARE(start.scope, int(print::AllCards));
        QCOMPARE(print::refusal(deck, print::CategoryAndSubs, false), print::kNoCardsBelow);
        QVERIFY(print::refusal(deck, print::AllCards, false).isEmpty());

        // A card of a category missing from the tree is below nothing.
        Deck orphans = buildDeck({{QStringLiteral("g1"), QStringLiteral("G1"), QStringLiteral("Ghost")}},
                                 {{QStringLiteral("Verbs"), QStringLiteral("Main")}});
        select(orphans, QStringLiteral("Main"));
        QVERIFY(!print::dialogStart(orphans, print::ThisCategory).haveFoundCards);
        QCOMPARE(print::refusal(Deck(), print::AllCards, false), print::kNoCards);
    }

    void subcategoryJobPrintsTheSubtreeAndLeavesTheView()
    {
        Deck deck = buildDeck({{QStringLiteral("v1"), QStringLiteral("V1"), QStringLiteral("Verbs")},
                               {QStringLiteral("i1"), QStringLiteral("I1"), QStringLiteral("Irregular")},
                               {QStringLiteral("v2"), QStringLiteral("V2"), QStringLiteral("Verbs")}},
                              {{QStringLiteral("Verbs"), QStringLiteral("Main")},
                               {QStringLiteral("Irregular"), QStringLiteral("Verbs")}});
        select(deck, QStringLiteral("Verbs"));
        QVERIFY(deck.replaceViewCard(0, QStringLiteral("v1 edited"), QStringLiteral("V1")));
        // The edit is folded back before the job reads the file's cards.
        print::beginPrintCommand(deck);
        deck.setCurrentCard(1, deck.side());
        {
            print::JobScope job(deck, print::CategoryAndSubs);
            QStringList printed;
            for (const print::PrintCard &card : job.cards())
                printed << card.side1 + card.side2;
            QCOMPARE(printed, QStringList({QStringLiteral("v1 editedV1"), QStringLiteral("v2V2"), QStringLiteral("i1I1")}));
            QCOMPARE(deck.placeseek(), 1);
        }
        QCOMPARE(viewColumn(deck, Column::Side1), QStringList({QStringLiteral("v1 edited"), QStringLiteral("v2")}));
        QCOMPARE(deck.placeseek(), 0);
    }

    void printCommandFoldsBackMain()
    {
        // "Main" open and selected: opening it again changes nothing, yet
        // the all-cards source must hold the edit made in its view.
        Deck deck = sampleDeck();
        QVERIFY(deck.replaceViewCard(1, QStringLiteral("m2 edited"), QStringLiteral("M2")));
        QVERIFY(deck.appendViewCard(QStringLiteral("m3"), QStringLiteral("M3")));
        select(deck, QStringLiteral("Main"));
        const std::vector<print::PrintCard> cards = print::cardsToPrint(deck, print::AllCards);
        QCOMPARE(cards.size(), size_t(7));
        QStringList side1;
        for (const print::PrintCard &card : cards)
            side1 << card.side1;
        QVERIFY(side1.contains(QStringLiteral("m2 edited")));
        QVERIFY(side1.contains(QStringLiteral("m3")));
        QVERIFY(!side1.contains(QStringLiteral("m2")));
    }
};

QTEST_GUILESS_MAIN(TestPrintJob)
#include "test_printjob.moc"
