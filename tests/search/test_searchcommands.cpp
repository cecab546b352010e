// Search, Search again, Shuffle and Flip in the real window: what the
// dialogs' answers do to the view, the current card, the stored options
// and the messages.

#include "support/modal.h"
#include "support/windowfixture.h"

#include "core/shell/commandids.h"
#include "gui/search/searchcontroller.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

Deck deckOf(const QList<QPair<QString, QString>> &cards)
{
    QList<CardText> texts;
    for (const auto &[s1, s2] : cards)
        texts.append({s1, s2, CategoryTree::kMainName});
    return buildDeck(texts);
}

} // namespace

class SearchCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void searchFindsOnSide2PastMarkedCardsAndKeepsTheBoxesOnlyOnSuccess();
    void duplicatesWithNoTextCloseOnCardOneAndComeBackWithUndelete();
    void eachClickScansOnFromTheDeckWithTheStoredBoxes();
    void searchAgainSaysFoundOrNotFound();
    void shuffleKeepsTheChoiceEvenWhenCancelledAndShowsCardOne();
    void flipKeepsMarksAndCurrentCard();
};

void SearchCommandsTest::searchFindsOnSide2PastMarkedCardsAndKeepsTheBoxesOnlyOnSuccess()
{
    WindowFixture f;
    f.show(deckOf({{"one", "x"}, {"two", "the Cat"}, {"three", "cat"}, {"four", "y"}}));
    f.deck().addMark(1); // "the Cat" is marked: never found
    f.window->options().LastSearch = QStringLiteral("old");

    // A failed search keeps the dialog open and stores nothing.
    onModal([&] { f.window->runCommand(CM_CARDSEARCH); }, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Search"));
        QCOMPARE(child<QLineEdit>(d, "searchEdit")->text(), QStringLiteral("old"));
        child<QCheckBox>(d, "caseSensitiveBox")->setChecked(true);
        child<QLineEdit>(d, "searchEdit")->setText(QStringLiteral("zzz"));
        click(d, "beginSearchButton");
        QVERIFY(d->isVisible());
        QCOMPARE(f.dialogs.messages().last(), QStringLiteral("Search for Card|Card not found."));
    });
    QCOMPARE(f.window->options().casesensitive, 0);
    QCOMPARE(f.window->options().LastSearch, QStringLiteral("old"));
    QCOMPARE(f.deck().placeseek(), 0);

    onModal([&] { f.window->runCommand(CM_CARDSEARCH); }, [&](QDialog *d) {
        child<QCheckBox>(d, "wholeWordsBox")->setChecked(true);
        child<QLineEdit>(d, "searchEdit")->setText(QStringLiteral("CAT"));
        click(d, "beginSearchButton");
        QVERIFY(!d->isVisible());
    });
    QCOMPARE(f.deck().placeseek(), 2);
    QCOMPARE(f.deck().side(), 1);
    QCOMPARE(f.window->options().LastSearch, QStringLiteral("CAT"));
    QCOMPARE(f.window->options().wholewordsonly, 1);
    QCOMPARE(f.window->statusText(), QStringLiteral("Card 3, side 2"));
}

void SearchCommandsTest::eachClickScansOnFromTheDeckWithTheStoredBoxes()
{
    WindowFixture f;
    f.show(deckOf({{"target", "t1"}, {"a", "1"}, {"a", "2"}, {"a target", "t2"}, {"z", "cat"}}));
    f.deck().setCurrentCard(2, 0);
    // Case-sensitive stored, whole words not: the boxes show just that, and
    // "CAT" does not find "cat".
    f.window->options().casesensitive = 1;
    f.window->options().wholewordsonly = 0;
    onModal([&] { f.window->runCommand(CM_CARDSEARCH); }, [&](QDialog *d) {
        QVERIFY(child<QCheckBox>(d, "caseSensitiveBox")->isChecked());
        QVERIFY(!child<QCheckBox>(d, "wholeWordsBox")->isChecked());
        child<QLineEdit>(d, "searchEdit")->setText(QStringLiteral("CAT"));
        click(d, "beginSearchButton");
        QCOMPARE(f.dialogs.messages().last(), QStringLiteral("Search for Card|Card not found."));

        // A removal that finds no text leaves card 1 current; the next click
        // scans on from there and finds the second "target", not the first.
        child<QCheckBox>(d, "duplicates1Box")->setChecked(true);
        child<QLineEdit>(d, "searchEdit")->setText(QStringLiteral("zzz"));
        click(d, "beginSearchButton");
        QVERIFY(d->isVisible());
        child<QCheckBox>(d, "duplicates1Box")->setChecked(false);
        child<QLineEdit>(d, "searchEdit")->setText(QStringLiteral("target"));
        click(d, "beginSearchButton");
        QVERIFY(!d->isVisible());
    });
    QCOMPARE(viewColumn(f.deck(), Column::Side2), (QStringList{"t1", "1", "t2", "cat"}));
    QCOMPARE(f.window->statusText(), QStringLiteral("Card 3, side 1"));
}

void SearchCommandsTest::duplicatesWithNoTextCloseOnCardOneAndComeBackWithUndelete()
{
    WindowFixture f;
    f.show(deckOf({{"a", "1"}, {"b", "2"}, {"a", "3"}, {"A", "4"}, {"b", "5"}}));
    f.deck().setCurrentCard(3, f.deck().side());
    f.deck().addMark(0);
    onModal([&] { f.window->runCommand(CM_CARDSEARCH); }, [&](QDialog *d) {
        child<QLineEdit>(d, "searchEdit")->clear();
        child<QCheckBox>(d, "duplicates1Box")->setChecked(true);
        click(d, "beginSearchButton");
        QVERIFY(!d->isVisible());
    });
    QCOMPARE(viewColumn(f.deck(), Column::Side2), (QStringList{"1", "2", "4"}));
    QCOMPARE(deletedColumn(f.deck(), Column::Side2), (QStringList{"3", "5"}));
    QCOMPARE(f.deck().placeseek(), 0);
    QCOMPARE(f.deck().marks().GetCount(), 0);
    QVERIFY(f.deck().changed());
    QVERIFY(f.enabled(CM_UNDELETEALL));

    // In subcategory mode the combined view is never written back: no
    // duplicates may be filed for Undelete there.
    f.deck().ToggleSubcategoryMode();
    onModal([&] { f.window->runCommand(CM_CARDSEARCH); }, [&](QDialog *d) {
        QVERIFY(!child<QCheckBox>(d, "duplicates1Box")->isEnabled());
        QVERIFY(!child<QCheckBox>(d, "duplicates2Box")->isEnabled());
    });
}

void SearchCommandsTest::searchAgainSaysFoundOrNotFound()
{
    WindowFixture f;
    f.show(deckOf({{"sun", "x"}, {"moon", "y"}, {"sunset", "z"}}));
    QVERIFY(!f.enabled(CM_SEARCHAGAIN));
    f.window->options().LastSearch = QStringLiteral("sun");
    f.window->updateCommands();
    QVERIFY(f.enabled(CM_SEARCHAGAIN));
    f.window->runCommand(CM_SEARCHAGAIN);
    QCOMPARE(f.deck().placeseek(), 2);
    QCOMPARE(f.window->statusText(), QStringLiteral("Found \"sun\""));
    f.window->runCommand(CM_SEARCHAGAIN); // wraps, the current card last
    QCOMPARE(f.deck().placeseek(), 0);

    f.window->options().LastSearch = QStringLiteral("star");
    f.window->runCommand(CM_SEARCHAGAIN);
    QCOMPARE(f.deck().placeseek(), 0);
    QCOMPARE(f.dialogs.messages().last(), QStringLiteral("Search for Card Again|\"star\" was not found."));
}

void SearchCommandsTest::shuffleKeepsTheChoiceEvenWhenCancelledAndShowsCardOne()
{
    WindowFixture f;
    f.show(deckOf({{"c1", ""}, {"c2", ""}, {"c3", ""}, {"c4", ""}, {"c5", ""}}));
    onModal([&] { f.window->runCommand(CM_SHUFFLE); }, [&](QDialog *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Shuffle Cards"));
        QVERIFY(child<QRadioButton>(d, "randomButton")->isChecked()); // the first start's choice
        QTest::mouseClick(child<QRadioButton>(d, "patternButton"), Qt::LeftButton);
        click(d, "cancelButton");
    });
    QCOMPARE(f.window->options().shuffletype, 1);
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"c1", "c2", "c3", "c4", "c5"}));

    f.deck().setCurrentCard(3, f.deck().side());
    f.deck().addMark(2);
    onModal([&] { f.window->runCommand(CM_SHUFFLE); }, [&](QDialog *d) {
        QVERIFY(child<QRadioButton>(d, "patternButton")->isChecked());
        click(d, "okButton");
        QVERIFY(!d->isVisible());
        QCOMPARE(child<QProgressBar>(d, "progressBar")->value(), 100);
    });
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"c1", "c4", "c2", "c5", "c3"}));
    QCOMPARE(f.deck().placeseek(), 0);
    QCOMPARE(f.deck().side(), 0);
    QCOMPARE(f.deck().marks().GetCount(), 0);

    f.show(deckOf({{"only", ""}}));
    f.window->searchCommands().ShuffleCards();
    QCOMPARE(f.dialogs.messages().last(),
             QStringLiteral("Shuffle Cards|You must have at least 2 cards in your card collection to shuffle."));
}

void SearchCommandsTest::flipKeepsMarksAndCurrentCard()
{
    WindowFixture f;
    f.show(deckOf({{"q1", "a1"}, {"q2", "a2"}, {"q3", "a3"}}));
    f.deck().addMark(0);
    f.deck().setCurrentCard(2, f.deck().side());
    f.deck().setSide(1);
    f.window->runCommand(CM_FLIP);
    QCOMPARE(viewColumn(f.deck(), Column::Side1), (QStringList{"a1", "a2", "a3"}));
    QCOMPARE(markTexts(f.deck().marks()), QStringList{"0"});
    QCOMPARE(f.deck().placeseek(), 2);
    QCOMPARE(f.deck().side(), 1);
    QCOMPARE(f.window->statusText(), QStringLiteral("Cards flipped"));
}

QTEST_MAIN(SearchCommandsTest)
#include "test_searchcommands.moc"
