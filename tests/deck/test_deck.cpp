#include "core/deck/deck.h"
#include "reference.h"
#include "support/deckbuilder.h"

#include <QRandomGenerator>
#include <QTest>

using namespace mdk;

namespace {

using namespace mdk::testsupport;
using reference::LiteralDeck;

QStringList texts(const TextList &list)
{
    QStringList out;
    for (const QString &s : list.items())
        out << s;
    return out;
}

QStringList marks(const MarkList &list) { return markTexts(list); }

// A random deck whose names include near-twins that differ only in letter
// case, exact repeats, and cards whose category is in no node at all; the
// same cards and tree in the deck and in its literal rendering.
std::pair<Deck, LiteralDeck> randomDecks(QRandomGenerator &rng, int cards, int nodes, int capacity)
{
    Deck d;
    d.setCapacity(capacity);
    LiteralDeck slow(capacity);
    QStringList names{QStringLiteral("Main")};
    for (int i = 1; i < nodes; ++i) {
        const CategoryTree::NodeId parent = CategoryTree::NodeId(rng.bounded(d.tree().nodeCount()));
        QString name = QStringLiteral("cat%1").arg(i);
        if (i % 5 == 0)
            name = names.last().toUpper();
        if (names.contains(name))
            name += QLatin1Char('x');
        if (i % 7 == 0) // a corrupt file can repeat a name, even "Main"
            name = names[int(rng.bounded(names.size()))];
        names << name;
        d.addCategory(parent, name);
    }
    for (int j = 0; j < cards; ++j) {
        const QString cat = rng.bounded(10) == 0 ? QStringLiteral("orphan")
                                                 : names[int(rng.bounded(names.size()))];
        const QString s1 = QStringLiteral("q%1").arg(j), s2 = QStringLiteral("a%1").arg(j);
        d.appendFileCard(s1, s2, cat);
        slow.addFileCard(s1, s2, cat);
    }
    slow.tree = d.tree();
    return {d, slow};
}

void compareDecks(const Deck &a, const LiteralDeck &b)
{
    QCOMPARE(fileColumn(a, Column::Side1), texts(b.MainSide1List));
    QCOMPARE(fileColumn(a, Column::Side2), texts(b.MainSide2List));
    QCOMPARE(fileColumn(a, Column::Category), texts(b.CatList));
    QCOMPARE(viewColumn(a, Column::Side1), texts(b.Side1List));
    QCOMPARE(viewColumn(a, Column::Side2), texts(b.Side2List));
    QCOMPARE(deletedColumn(a, Column::Side1), texts(b.UndeleteList1));
    QCOMPARE(deletedColumn(a, Column::Side2), texts(b.UndeleteList2));
    QCOMPARE(marks(a.marks()), b.MarkList);
    QCOMPARE(a.oldTreeName(), b.OldTreeName);
}

// Marks a few view cards in both, never all of them.
void markSome(QRandomGenerator &rng, Deck &fast, LiteralDeck &slow)
{
    for (int i = 0; i + 1 < fast.viewCount() && i < 3; ++i) {
        const int k = int(rng.bounded(fast.viewCount()));
        if (fast.addMark(k))
            slow.MarkList << QString::number(k);
    }
}

} // namespace

class TestDeck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textListOperations();
    void findExactStringWrapsAround();
    void fullStoreRefusesAdds();
    void marksRenumber();
    void fastMatchesLiteralOnRandomDecks();
    void writeBackMovesOpenCategoryToEnd();
    void categoriesDifferingInCaseStaySeparate();
    void openCategoryRules();
    void subcategoryViewOrder();
    void subcategoryToggle();
    void removeViewCardKeepsTextsForUndelete();
    void writeBackNeverLosesCardsWhenFull();
    void cardCommandsMatchLiteralOnRandomDecks();
    void fullStoreRefusesWithoutHalfAdding();
    void moveAllGoesAfterTheDestinationsCards();
    void renameTouchesEachCardOnce();
    void permuteViewRefusesWhatIsNoPermutation();
    void manyDeletedCardsMatchLiteral();
};

void TestDeck::textListOperations()
{
    TextList list;
    QCOMPARE(list.AddString(QStringLiteral("a")), 0);
    QCOMPARE(list.AddString(QStringLiteral("c")), 1);
    QCOMPARE(list.InsertString(QStringLiteral("b"), 1), 1);
    QCOMPARE(list.InsertString(QStringLiteral("d"), 3), 3); // at the end
    QCOMPARE(list.InsertString(QStringLiteral("x"), 9), -1);
    QCOMPARE(texts(list), (QStringList{"a", "b", "c", "d"}));

    QString buffer = QStringLiteral("unchanged");
    QVERIFY(!list.GetString(buffer, 4));
    QVERIFY(!list.GetString(buffer, -1));
    QCOMPARE(buffer, QStringLiteral("unchanged"));
    QVERIFY(list.GetString(buffer, 2));
    QCOMPARE(buffer, QStringLiteral("c"));

    QVERIFY(list.DeleteString(0));
    QVERIFY(!list.DeleteString(3));
    QCOMPARE(texts(list), (QStringList{"b", "c", "d"}));
    list.ClearList();
    QCOMPARE(list.GetCount(), 0);
    QCOMPARE(list.FindExactString(QStringLiteral("b"), -1), -1);
}

void TestDeck::findExactStringWrapsAround()
{
    TextList list;
    for (const char *s : {"Main", "A", "main", "Main", "B"})
        list.AddString(QString::fromLatin1(s));
    QCOMPARE(list.FindExactString(QStringLiteral("Main"), -1), 0);
    QCOMPARE(list.FindExactString(QStringLiteral("Main"), 0), 3);
    QCOMPARE(list.FindExactString(QStringLiteral("Main"), 3), 0); // wraps to the start
    QCOMPARE(list.FindExactString(QStringLiteral("B"), 4), 4);    // wraps back to itself
    QCOMPARE(list.FindExactString(QStringLiteral("main"), -1), 2); // case-sensitive
    QCOMPARE(list.FindExactString(QStringLiteral("MAIN"), -1), -1);
    QCOMPARE(list.FindExactString(QStringLiteral("A"), 99), 1);   // past the end starts over
}

void TestDeck::fullStoreRefusesAdds()
{
    TextList list(2);
    QCOMPARE(list.AddString(QStringLiteral("a")), 0);
    QCOMPARE(list.AddString(QStringLiteral("b")), 1);
    QVERIFY(list.AddString(QStringLiteral("c")) < 0);
    QVERIFY(list.InsertString(QStringLiteral("c"), 0) < 0);
    QCOMPARE(list.GetCount(), 2);
}

void TestDeck::marksRenumber()
{
    MarkList m;
    for (int i : {0, 4, 5})
        QVERIFY(m.add(i));
    QVERIFY(!m.add(4)); // never twice
    m.renumberAfterRemoval(2);
    QCOMPARE(marks(m), (QStringList{"0", "3", "4"}));
    QCOMPARE(marks(m), reference::renumber({"0", "4", "5"}, 2, -1));
    QVERIFY(m.isMarked(3) && !m.isMarked(5));

    // Marks keep the order in which they were made.
    MarkList order;
    for (int i : {7, 1, 4})
        order.add(i);
    order.renumberAfterInsertion(3);
    QCOMPARE(marks(order), (QStringList{"8", "1", "5"}));
    QCOMPARE(marks(order), reference::renumber({"7", "1", "4"}, 3, +1));
    order.renumberAfterInsertion(1); // a mark on the insertion point stays
    QCOMPARE(marks(order), (QStringList{"9", "1", "6"}));

    // The removed card's own mark goes with it instead of landing on its
    // neighbour (which would also duplicate the neighbour's mark).
    MarkList own;
    own.add(2);
    own.add(3);
    own.renumberAfterRemoval(2);
    QCOMPARE(marks(own), (QStringList{"2"}));
}

void TestDeck::fastMatchesLiteralOnRandomDecks()
{
    QRandomGenerator rng(20261207);
    for (int round = 0; round < 300; ++round) {
        auto [fast, slow] = randomDecks(rng, int(rng.bounded(60)), 1 + int(rng.bounded(12)),
                                        TextList::kDefaultCapacity);
        const int nodeCount = fast.tree().nodeCount();

        for (int step = 0; step < 6; ++step) {
            const CategoryTree::NodeId node = CategoryTree::NodeId(rng.bounded(nodeCount));
            const QString name = fast.tree().name(node);
            switch (rng.bounded(4)) {
            case 3: // select a category in the tree
                fast.selectCategory(node);
                fast.OpenCategory();
                if (!(name == QLatin1String("Main") && slow.OldTreeName == QLatin1String("Main"))) {
                    reference::writeBackView(slow);
                    reference::loadView(slow, name);
                }
                slow.OldTreeName = name;
                QCOMPARE(fast.oldTreeName(), slow.OldTreeName);
                break;
            case 0: // open a category, edit its view, fold it back
                fast.LoadView(name);
                reference::loadView(slow, name);
                slow.OldTreeName = name;
                compareDecks(fast, slow);
                if (fast.viewCount() > 0 && rng.bounded(2)) {
                    const int p = int(rng.bounded(fast.viewCount()));
                    QString s1, s2;
                    QVERIFY(fast.takeViewCard(p, s1, s2));
                    QCOMPARE(s1, slow.Side1List.at(p));
                    reference::cutViewCard(slow, p);
                }
                QVERIFY(fast.appendViewCard(QStringLiteral("new%1").arg(step), QStringLiteral("side2")));
                QVERIFY(reference::addViewCard(slow, QStringLiteral("new%1").arg(step), QStringLiteral("side2")));
                fast.WriteBackView();
                reference::writeBackView(slow);
                break;
            case 1:
                fast.LoadViewWithSubcategories(node);
                reference::loadViewWithSubcategories(slow, node);
                break;
            default: {
                std::vector<int> visited;
                fast.ForEachCardOfCategory(name, [&](int j) { visited.push_back(j); });
                QCOMPARE(visited, reference::cardsOfCategory(slow.CatList, name));
                break;
            }
            }
            compareDecks(fast, slow);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("round %1, step %2").arg(round).arg(step)));
        }
    }
}

void TestDeck::writeBackMovesOpenCategoryToEnd()
{
    Deck d = buildDeck({{"m1", "x", "Main"}, {"a1", "x", "A"}, {"m2", "x", "Main"}}, {{"A", "Main"}});
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"m1", "m2"}));
    d.WriteBackView();
    QCOMPARE(fileColumn(d, Column::Category), (QStringList{"A", "Main", "Main"}));
    QCOMPARE(fileColumn(d, Column::Side1), (QStringList{"a1", "m1", "m2"}));
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"m1", "m2"})); // the view stays
}

void TestDeck::categoriesDifferingInCaseStaySeparate()
{
    Deck d = buildDeck({{"1", "x", "Verbs"}, {"2", "x", "verbs"}, {"3", "x", "main"}},
                       {{"Verbs", "Main"}, {"verbs", "Main"}});
    d.LoadView(QStringLiteral("verbs"));
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"2"}));
    d.LoadView(QStringLiteral("Main"));
    QCOMPARE(d.viewCount(), 0);
    QCOMPARE(d.tree().findByName(QStringLiteral("verbs")), 2);
}

void TestDeck::openCategoryRules()
{
    Deck d = buildDeck({{"a1", "x", "A"}, {"m1", "x", "Main"}, {"a2", "x", "A"}, {"m2", "x", "Main"}},
                       {{"A", "Main"}});
    const auto a = d.tree().findByName(QStringLiteral("A"));

    // "Main" while "Main" is open: nothing changes, the current card stays.
    d.setCurrentCard(1, d.side());
    d.setSide(1);
    d.addMark(0);
    d.OpenCategory();
    QCOMPARE(d.placeseek(), 1);
    QCOMPARE(d.side(), 1);
    QCOMPARE(d.marks().GetCount(), 1);
    QCOMPARE(fileColumn(d, Column::Category), (QStringList{"A", "Main", "A", "Main"}));

    // Another category: write-back, reload, first card, no marks.
    d.selectCategory(a);
    d.OpenCategory();
    QCOMPARE(d.oldTreeName(), QStringLiteral("A"));
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"a1", "a2"}));
    QCOMPARE(d.placeseek(), 0);
    QCOMPARE(d.side(), 0);
    QCOMPARE(d.marks().GetCount(), 0);
    QCOMPARE(fileColumn(d, Column::Category), (QStringList{"A", "A", "Main", "Main"}));

    // The same category again returns to its first card and moves its cards
    // to the end of the file.
    d.setCurrentCard(1, d.side());
    d.OpenCategory();
    QCOMPARE(d.placeseek(), 0);
    QCOMPARE(fileColumn(d, Column::Category), (QStringList{"Main", "Main", "A", "A"}));
    QVERIFY(!d.changed());
}

void TestDeck::subcategoryViewOrder()
{
    // Main > Top > {First > Grand, Second}; cards interleaved in the file.
    const QStringList cats{"Second", "Grand", "Top", "First", "Grand", "Top", "Second", "Main"};
    QList<CardText> cards;
    for (int j = 0; j < cats.size(); ++j)
        cards.append({QStringLiteral("%1-%2").arg(cats[j]).arg(j), QString(), cats[j]});
    Deck d = buildDeck(cards, {{"Top", "Main"}, {"First", "Top"}, {"Second", "Top"}, {"Grand", "First"}});
    const auto top = d.tree().findByName(QStringLiteral("Top"));

    d.LoadViewWithSubcategories(top);
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"Top-2", "Top-5", "First-3", "Grand-1", "Grand-4",
                                              "Second-0", "Second-6"}));
    const auto leaf = d.tree().findByName(QStringLiteral("Second"));
    d.LoadViewWithSubcategories(leaf);
    const QStringList withSubs = viewColumn(d, Column::Side1);
    d.LoadView(QStringLiteral("Second"));
    QCOMPARE(withSubs, viewColumn(d, Column::Side1)); // no descendants: same as the plain view
}

void TestDeck::subcategoryToggle()
{
    Deck d = buildDeck({{"b", "", "B"}, {"a", "", "A"}}, {{"A", "Main"}, {"B", "A"}});
    d.selectCategory(d.tree().findByName(QStringLiteral("A")));
    d.OpenCategory();
    QVERIFY(d.appendViewCard(QStringLiteral("a-new"), QString())); // an edit in the plain view

    d.ToggleSubcategoryMode(); // on: folds the edit back first
    QVERIFY(d.showSubCategories());
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"a", "a-new", "b"}));
    QCOMPARE(d.fileCount(), 3);

    d.ToggleSubcategoryMode(); // off: plain view again, no write-back
    QVERIFY(!d.showSubCategories());
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"a", "a-new"}));
    QCOMPARE(d.oldTreeName(), QStringLiteral("A"));
    QCOMPARE(d.fileCount(), 3);
}

void TestDeck::removeViewCardKeepsTextsForUndelete()
{
    Deck d;
    for (int k = 0; k < 6; ++k)
        d.appendViewCard(QStringLiteral("s%1").arg(k), QStringLiteral("t%1").arg(k));
    for (int m : {0, 4, 5})
        d.addMark(m);
    d.RemoveViewCard(2);
    QVERIFY(d.changed());
    QCOMPARE(d.viewCount(), 5);
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"s0", "s1", "s3", "s4", "s5"}));
    QCOMPARE(deletedColumn(d, Column::Side1), (QStringList{"s2"}));
    QCOMPARE(deletedColumn(d, Column::Side2), (QStringList{"t2"}));
    QCOMPARE(marks(d.marks()), (QStringList{"0", "3", "4"}));
}

void TestDeck::writeBackNeverLosesCardsWhenFull()
{
    // Cards added to the view while other categories fill the store must
    // still reach the file-level lists, all three in step.
    Deck d = buildDeck({{"a0", "", "A"}, {"a1", "", "A"}, {"a2", "", "A"}, {"m", "", "Main"}}, {{"A", "Main"}}, 4);
    QVERIFY(d.appendViewCard(QStringLiteral("m2"), QString()));
    QCOMPARE(d.viewCount(), 2);
    d.WriteBackView();
    QCOMPARE(d.fileCount(), 5);
    QCOMPARE(fileColumn(d, Column::Side2).size(), 5);
    QCOMPARE(fileColumn(d, Column::Category), (QStringList{"A", "A", "A", "Main", "Main"}));
    QVERIFY(!d.appendFileCard(QStringLiteral("more"), QString(), QStringLiteral("A")));
    QCOMPARE(d.fileCount(), 5);
}

void TestDeck::cardCommandsMatchLiteralOnRandomDecks()
{
    // Every card command against its literal rendering, in random mixes,
    // some with a store so small that adds are refused.
    QRandomGenerator rng(4711);
    for (int round = 0; round < 200; ++round) {
        const int capacity = rng.bounded(3) == 0 ? 2 + int(rng.bounded(12)) : TextList::kDefaultCapacity;
        auto [fast, slow] = randomDecks(rng, int(rng.bounded(40)), 1 + int(rng.bounded(8)), capacity);
        fast.LoadView(QStringLiteral("Main"));
        reference::loadView(slow, QStringLiteral("Main"));
        const int nodeCount = fast.tree().nodeCount();
        auto randomName = [&] {
            return rng.bounded(8) == 0 ? QStringLiteral("orphan")
                                       : fast.tree().name(CategoryTree::NodeId(rng.bounded(nodeCount)));
        };

        for (int step = 0; step < 25; ++step) {
            const int n = fast.viewCount();
            const int p = n > 0 ? int(rng.bounded(n)) : 0;
            const QString s1 = QStringLiteral("s%1-%2").arg(round).arg(step);
            const QString s2 = QStringLiteral("t%1").arg(step);
            switch (rng.bounded(14)) {
            case 0:
                markSome(rng, fast, slow);
                break;
            case 1:
                QCOMPARE(fast.appendViewCard(s1, s2), reference::addViewCard(slow, s1, s2));
                break;
            case 2: {
                const int at = int(rng.bounded(n + 1));
                QCOMPARE(fast.insertViewCard(at, s1, s2), reference::pasteViewCard(slow, at, s1, s2));
                break;
            }
            case 3:
                if (n > 0) {
                    QVERIFY(fast.replaceViewCard(p, s1, s2));
                    reference::editViewCard(slow, p, s1, s2);
                }
                break;
            case 4:
                if (n > 0) {
                    fast.RemoveViewCard(p);
                    reference::deleteViewCard(slow, p);
                }
                break;
            case 5:
                if (n > 0) {
                    QString c1, c2;
                    QVERIFY(fast.takeViewCard(p, c1, c2));
                    QCOMPARE(c1, slow.Side1List.at(p));
                    QCOMPARE(c2, slow.Side2List.at(p));
                    reference::cutViewCard(slow, p);
                }
                break;
            case 6: {
                const QString to = randomName();
                if (n > 0 && to != fast.oldTreeName()) {
                    QVERIFY(fast.moveViewCard(p, to));
                    reference::moveViewCard(slow, p, to);
                }
                break;
            }
            case 7: {
                const QString to = randomName();
                if (to != fast.oldTreeName()) {
                    fast.moveAllViewCards(to);
                    reference::moveAllViewCards(slow, to);
                }
                break;
            }
            case 8: {
                const QString from = randomName();
                const QString to = rng.bounded(2) ? from.toLower() : QStringLiteral("renamed%1").arg(step);
                fast.relabelCategory(from, to);
                reference::renameCategory(slow, from, to);
                break;
            }
            case 9:
                fast.removeCardsOutsideTree();
                reference::removeCardsOutsideTree(slow);
                break;
            case 10:
                fast.clearViewToDeleted();
                reference::clearCategory(slow);
                break;
            case 11:
                if (fast.deletedCount() > 0) {
                    const int u = int(rng.bounded(fast.deletedCount()));
                    QCOMPARE(fast.undeleteCard(u), reference::undeleteOne(slow, u));
                } else {
                    QCOMPARE(fast.undeleteAll(), reference::undeleteAll(slow));
                }
                break;
            case 12: {
                std::vector<int> order(static_cast<size_t>(n), 0);
                for (int k = 0; k < n; ++k)
                    order[size_t(k)] = n - 1 - k;
                if (n > 1)
                    std::swap(order[0], order[size_t(rng.bounded(n))]);
                QVERIFY(fast.permuteView(order));
                reference::permuteView(slow, order);
                break;
            }
            default: {
                fast.flipViewSides();
                reference::flipView(slow);
                // and now and then another category
                const CategoryTree::NodeId node = CategoryTree::NodeId(rng.bounded(nodeCount));
                fast.selectCategory(node);
                fast.OpenCategory();
                const QString name = fast.tree().name(node);
                if (!(name == QLatin1String("Main") && slow.OldTreeName == QLatin1String("Main"))) {
                    reference::writeBackView(slow);
                    reference::loadView(slow, name);
                    slow.MarkList.clear();
                }
                slow.OldTreeName = name;
                break;
            }
            }
            compareDecks(fast, slow);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("round %1, step %2").arg(round).arg(step)));
        }
        fast.WriteBackView();
        reference::writeBackView(slow);
        compareDecks(fast, slow);
    }
}

void TestDeck::fullStoreRefusesWithoutHalfAdding()
{
    // The view holds its two cards at a store size of 2.
    Deck d = buildDeck({{"m1", "x1", "Main"}, {"a1", "y1", "A"}, {"m2", "x2", "Main"}}, {{"A", "Main"}}, 2);
    QCOMPARE(d.fileCount(), 2); // the third card did not fit
    d.appendFileCard(QStringLiteral("never"), QString(), QStringLiteral("Main"));
    QCOMPARE(fileColumn(d, Column::Side1), (QStringList{"m1", "a1"}));
    QCOMPARE(fileColumn(d, Column::Category).size(), 2);

    QVERIFY(d.appendViewCard(QStringLiteral("m3"), QStringLiteral("x3")));
    const QStringList view = viewColumn(d, Column::Side1);
    d.addMark(0);
    QVERIFY(!d.appendViewCard(QStringLiteral("no"), QStringLiteral("no")));
    QVERIFY(!d.insertViewCard(0, QStringLiteral("no"), QStringLiteral("no")));
    QCOMPARE(viewColumn(d, Column::Side1), view);
    QCOMPARE(viewColumn(d, Column::Side2), (QStringList{"x1", "x3"}));
    QCOMPARE(markTexts(d.marks()), QStringList{"0"}); // a refused paste renumbers nothing

    // Undeleting into a full view keeps the deleted card where it was.
    d.RemoveViewCard(0);
    QVERIFY(d.appendViewCard(QStringLiteral("m4"), QStringLiteral("x4")));
    QVERIFY(!d.undeleteCard(0));
    QVERIFY(!d.undeleteAll());
    QCOMPARE(deletedColumn(d, Column::Side1), QStringList{"m1"});
    QCOMPARE(d.viewCount(), 2);
    d.RemoveViewCard(1);
    QVERIFY(!d.undeleteAll()); // room for one of the two
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"m3", "m1"}));
    QCOMPARE(deletedColumn(d, Column::Side2), QStringList{"x4"});

    // Cards already in the deck always move, however full the store.
    QVERIFY(d.moveViewCard(0, QStringLiteral("A")));
    d.moveAllViewCards(QStringLiteral("A"));
    QCOMPARE(d.viewCount(), 0);
    QCOMPARE(fileColumn(d, Column::Side1), (QStringList{"a1", "m3", "m1"}));
    QCOMPARE(fileColumn(d, Column::Category), (QStringList{"A", "A", "A"}));
}

void TestDeck::moveAllGoesAfterTheDestinationsCards()
{
    Deck d = buildDeck({{"b1", "", "B"}, {"m1", "", "Main"}, {"b2", "", "B"}, {"c1", "", "C"}, {"m2", "", "Main"}},
                       {{"B", "Main"}, {"C", "Main"}});
    d.addMark(1);
    d.moveAllViewCards(QStringLiteral("B"));
    QCOMPARE(fileColumn(d, Column::Side1), (QStringList{"b1", "b2", "c1", "m1", "m2"}));
    QCOMPARE(fileColumn(d, Column::Category), (QStringList{"B", "B", "C", "B", "B"}));
    QCOMPARE(d.viewCount(), 0);
    QCOMPARE(d.marks().GetCount(), 0);
    QCOMPARE(d.oldTreeName(), QStringLiteral("Main")); // the emptied category stays open

    d.selectCategory(d.tree().findByName(QStringLiteral("B")));
    d.OpenCategory();
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"b1", "b2", "m1", "m2"}));
}

void TestDeck::renameTouchesEachCardOnce()
{
    // A rename that only changes letter case, then one onto a name that
    // cards of no node already carry: every card is relabelled once.
    Deck d = buildDeck({{"1", "", "Verbs"}, {"2", "", "verbs"}, {"3", "", "Verbs"}}, {{"Verbs", "Main"}});
    d.selectCategory(d.tree().findByName(QStringLiteral("Verbs")));
    d.OpenCategory();
    d.relabelCategory(QStringLiteral("Verbs"), QStringLiteral("VERBS"));
    QCOMPARE(d.oldTreeName(), QStringLiteral("VERBS"));
    d.relabelCategory(QStringLiteral("verbs"), QStringLiteral("Verbs"));
    QCOMPARE(fileColumn(d, Column::Category), (QStringList{"VERBS", "Verbs", "VERBS"}));
    d.relabelCategory(QStringLiteral("VERBS"), QStringLiteral("Verbs"));
    QCOMPARE(fileColumn(d, Column::Category), (QStringList{"Verbs", "Verbs", "Verbs"}));
    std::vector<int> visited;
    d.ForEachCardOfCategory(QStringLiteral("Verbs"), [&](int j) { visited.push_back(j); });
    QCOMPARE(visited, (std::vector<int>{0, 1, 2}));
    d.ForEachCardOfCategory(QStringLiteral("VERBS"), [&](int) { QFAIL("no card is left under the old name"); });
}

void TestDeck::permuteViewRefusesWhatIsNoPermutation()
{
    Deck d = mainDeck(3);
    d.addMark(2);
    for (const std::vector<int> &bad :
         {std::vector<int>{0, 1}, std::vector<int>{0, 1, 1}, std::vector<int>{0, 1, 3}, std::vector<int>{-1, 0, 1}})
        QVERIFY(!d.permuteView(bad));
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"q1", "q2", "q3"}));
    QCOMPARE(d.marks().GetCount(), 1);
    QVERIFY(d.permuteView({2, 0, 1}));
    d.flipViewSides();
    QCOMPARE(viewColumn(d, Column::Side1), (QStringList{"a3", "a1", "a2"}));
    QCOMPARE(viewColumn(d, Column::Side2), (QStringList{"q3", "q1", "q2"}));
    QCOMPARE(d.marks().GetCount(), 0);
}

void TestDeck::manyDeletedCardsMatchLiteral()
{
    // Enough deleted cards that they are held in several pieces: undelete
    // one at the seams and at both ends, undelete all stopped by the store
    // part-way into a piece, then the rest.
    constexpr int kCards = 5000, kCapacity = 7000;
    Deck fast;
    fast.setCapacity(kCapacity);
    LiteralDeck slow(kCapacity);
    for (int j = 0; j < kCards; ++j) {
        const QString s1 = QStringLiteral("q%1").arg(j), s2 = QStringLiteral("a%1").arg(j);
        fast.appendFileCard(s1, s2, QStringLiteral("Main"));
        slow.addFileCard(s1, s2, QStringLiteral("Main"));
    }
    fast.LoadView(QStringLiteral("Main"));
    reference::loadView(slow, QStringLiteral("Main"));
    fast.clearViewToDeleted();
    reference::clearCategory(slow);
    compareDecks(fast, slow);

    for (int u : {4096, 4095, 0, kCards - 4, 4094, 4093}) {
        QCOMPARE(fast.undeleteCard(u), reference::undeleteOne(slow, u));
        if (u < fast.deletedCount()) // the card that took its place
            QCOMPARE(fast.deletedSide1(u), slow.UndeleteList1.at(u));
    }
    compareDecks(fast, slow);

    while (fast.viewCount() < kCapacity - 4500) {
        const QString s1 = QStringLiteral("new%1").arg(fast.viewCount());
        QVERIFY(fast.appendViewCard(s1, QString()));
        QVERIFY(reference::addViewCard(slow, s1, QString()));
    }
    QCOMPARE(fast.undeleteAll(), reference::undeleteAll(slow));
    QCOMPARE(fast.deletedCount(), kCards - 6 - 4500);
    compareDecks(fast, slow);

    for (int p : {0, 1999, 3, 6990})
        fast.RemoveViewCard(p), reference::deleteViewCard(slow, p);
    QVERIFY(fast.undeleteCard(fast.deletedCount() - 1));
    QVERIFY(reference::undeleteOne(slow, slow.UndeleteList1.GetCount() - 1));
    compareDecks(fast, slow);
    fast.clearViewToDeleted();
    reference::clearCategory(slow);
    QCOMPARE(fast.undeleteAll(), reference::undeleteAll(slow));
    compareDecks(fast, slow);
    QCOMPARE(fast.viewCount(), kCapacity);
}

QTEST_GUILESS_MAIN(TestDeck)
#include "test_deck.moc"
