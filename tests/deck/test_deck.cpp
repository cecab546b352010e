#include "core/deck/deck.h"
#include "reference.h"

#include <QRandomGenerator>
#include <QTest>

using namespace mdk;

namespace {

QStringList texts(const TextList &list)
{
    QStringList out;
    for (const QString &s : list.items())
        out << s;
    return out;
}

QStringList marks(const MarkList &list)
{
    QStringList out;
    for (int i = 0; i < list.GetCount(); ++i)
        out << list.textAt(i);
    return out;
}

void addCard(Deck &d, const QString &s1, const QString &s2, const QString &cat)
{
    d.MainSide1List.AddString(s1);
    d.MainSide2List.AddString(s2);
    d.CatList.AddString(cat);
}

// A random deck whose names include near-twins that differ only in letter
// case, exact repeats, and cards whose category is in no node at all.
Deck randomDeck(QRandomGenerator &rng, int cards, int nodes)
{
    Deck d;
    QStringList names{QStringLiteral("Main")};
    for (int i = 1; i < nodes; ++i) {
        const CategoryTree::NodeId parent = CategoryTree::NodeId(rng.bounded(d.tree.nodeCount()));
        QString name = QStringLiteral("cat%1").arg(i);
        if (i % 5 == 0)
            name = names.last().toUpper();
        if (names.contains(name))
            name += QLatin1Char('x');
        if (i % 7 == 0) // a corrupt file can repeat a name, even "Main"
            name = names[int(rng.bounded(names.size()))];
        names << name;
        d.tree.addChild(parent, name);
    }
    for (int j = 0; j < cards; ++j) {
        const QString cat = rng.bounded(10) == 0 ? QStringLiteral("orphan")
                                                 : names[int(rng.bounded(names.size()))];
        addCard(d, QStringLiteral("q%1").arg(j), QStringLiteral("a%1").arg(j), cat);
    }
    return d;
}

void compareLists(const Deck &a, const Deck &b)
{
    QCOMPARE(texts(a.MainSide1List), texts(b.MainSide1List));
    QCOMPARE(texts(a.MainSide2List), texts(b.MainSide2List));
    QCOMPARE(texts(a.CatList), texts(b.CatList));
    QCOMPARE(texts(a.Side1List), texts(b.Side1List));
    QCOMPARE(texts(a.Side2List), texts(b.Side2List));
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
        Deck fast = randomDeck(rng, int(rng.bounded(60)), 1 + int(rng.bounded(12)));
        Deck slow = fast;
        const int nodeCount = fast.tree.nodeCount();

        for (int step = 0; step < 6; ++step) {
            const CategoryTree::NodeId node = CategoryTree::NodeId(rng.bounded(nodeCount));
            const QString name = fast.tree.name(node);
            switch (rng.bounded(4)) {
            case 3: // select a category in the tree
                fast.tree.setSelected(node);
                fast.OpenCategory();
                if (!(name == QLatin1String("Main") && slow.OldTreeName == QLatin1String("Main"))) {
                    reference::writeBackView(slow);
                    reference::loadView(slow, name);
                }
                slow.OldTreeName = name;
                QCOMPARE(fast.OldTreeName, slow.OldTreeName);
                break;
            case 0: // open a category, edit its view, fold it back
                fast.LoadView(name);
                reference::loadView(slow, name);
                compareLists(fast, slow);
                fast.OldTreeName = slow.OldTreeName = name;
                if (fast.viewCount() > 0 && rng.bounded(2)) {
                    const int p = int(rng.bounded(fast.viewCount()));
                    fast.Side1List.DeleteString(p);
                    fast.Side2List.DeleteString(p);
                    slow.Side1List.DeleteString(p);
                    slow.Side2List.DeleteString(p);
                }
                for (Deck *d : {&fast, &slow}) {
                    d->Side1List.AddString(QStringLiteral("new%1").arg(step));
                    d->Side2List.AddString(QStringLiteral("side2"));
                }
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
                QCOMPARE(visited, reference::cardsOfCategory(fast.CatList, name));
                break;
            }
            }
            compareLists(fast, slow);
        }
    }
}

void TestDeck::writeBackMovesOpenCategoryToEnd()
{
    Deck d;
    d.tree.addChild(d.tree.root(), QStringLiteral("A"));
    addCard(d, QStringLiteral("m1"), QStringLiteral("x"), QStringLiteral("Main"));
    addCard(d, QStringLiteral("a1"), QStringLiteral("x"), QStringLiteral("A"));
    addCard(d, QStringLiteral("m2"), QStringLiteral("x"), QStringLiteral("Main"));
    d.LoadView(QStringLiteral("Main"));
    QCOMPARE(texts(d.Side1List), (QStringList{"m1", "m2"}));
    d.WriteBackView();
    QCOMPARE(texts(d.CatList), (QStringList{"A", "Main", "Main"}));
    QCOMPARE(texts(d.MainSide1List), (QStringList{"a1", "m1", "m2"}));
    QCOMPARE(texts(d.Side1List), (QStringList{"m1", "m2"})); // the view stays
}

void TestDeck::categoriesDifferingInCaseStaySeparate()
{
    Deck d;
    d.tree.addChild(d.tree.root(), QStringLiteral("Verbs"));
    d.tree.addChild(d.tree.root(), QStringLiteral("verbs"));
    addCard(d, QStringLiteral("1"), QStringLiteral("x"), QStringLiteral("Verbs"));
    addCard(d, QStringLiteral("2"), QStringLiteral("x"), QStringLiteral("verbs"));
    addCard(d, QStringLiteral("3"), QStringLiteral("x"), QStringLiteral("main"));
    d.LoadView(QStringLiteral("verbs"));
    QCOMPARE(texts(d.Side1List), (QStringList{"2"}));
    d.LoadView(QStringLiteral("Main"));
    QCOMPARE(d.viewCount(), 0);
    QCOMPARE(d.tree.findByName(QStringLiteral("verbs")), 2);
}

void TestDeck::openCategoryRules()
{
    Deck d;
    const auto a = d.tree.addChild(d.tree.root(), QStringLiteral("A"));
    addCard(d, QStringLiteral("a1"), QStringLiteral("x"), QStringLiteral("A"));
    addCard(d, QStringLiteral("m1"), QStringLiteral("x"), QStringLiteral("Main"));
    addCard(d, QStringLiteral("a2"), QStringLiteral("x"), QStringLiteral("A"));
    addCard(d, QStringLiteral("m2"), QStringLiteral("x"), QStringLiteral("Main"));
    d.LoadView(QStringLiteral("Main"));

    // "Main" while "Main" is open: nothing changes, the current card stays.
    d.placeseek = 1;
    d.side = 1;
    d.Marks.add(0);
    d.OpenCategory();
    QCOMPARE(d.placeseek, 1);
    QCOMPARE(d.side, 1);
    QCOMPARE(d.Marks.GetCount(), 1);
    QCOMPARE(texts(d.CatList), (QStringList{"A", "Main", "A", "Main"}));

    // Another category: write-back, reload, first card, no marks.
    d.tree.setSelected(a);
    d.OpenCategory();
    QCOMPARE(d.OldTreeName, QStringLiteral("A"));
    QCOMPARE(texts(d.Side1List), (QStringList{"a1", "a2"}));
    QCOMPARE(d.placeseek, 0);
    QCOMPARE(d.side, 0);
    QCOMPARE(d.Marks.GetCount(), 0);
    QCOMPARE(d.Word, QStringLiteral(" "));
    QCOMPARE(texts(d.CatList), (QStringList{"A", "A", "Main", "Main"}));

    // The same category again returns to its first card and moves its cards
    // to the end of the file.
    d.placeseek = 1;
    d.OpenCategory();
    QCOMPARE(d.placeseek, 0);
    QCOMPARE(texts(d.CatList), (QStringList{"Main", "Main", "A", "A"}));
    QCOMPARE(d.filehaschanged, 0);
}

void TestDeck::subcategoryViewOrder()
{
    // Main > Top > {First > Grand, Second}; cards interleaved in the file.
    Deck d;
    const auto top = d.tree.addChild(d.tree.root(), QStringLiteral("Top"));
    const auto first = d.tree.addChild(top, QStringLiteral("First"));
    d.tree.addChild(top, QStringLiteral("Second"));
    d.tree.addChild(first, QStringLiteral("Grand"));
    const QStringList cats{"Second", "Grand", "Top", "First", "Grand", "Top", "Second", "Main"};
    for (int j = 0; j < cats.size(); ++j)
        addCard(d, QStringLiteral("%1-%2").arg(cats[j]).arg(j), QString(), cats[j]);

    d.LoadViewWithSubcategories(top);
    QCOMPARE(texts(d.Side1List), (QStringList{"Top-2", "Top-5", "First-3", "Grand-1", "Grand-4",
                                              "Second-0", "Second-6"}));
    const auto leaf = d.tree.findByName(QStringLiteral("Second"));
    d.LoadViewWithSubcategories(leaf);
    const QStringList withSubs = texts(d.Side1List);
    d.LoadView(QStringLiteral("Second"));
    QCOMPARE(withSubs, texts(d.Side1List)); // no descendants: same as the plain view
}

void TestDeck::subcategoryToggle()
{
    Deck d;
    const auto a = d.tree.addChild(d.tree.root(), QStringLiteral("A"));
    d.tree.addChild(a, QStringLiteral("B"));
    addCard(d, QStringLiteral("b"), QString(), QStringLiteral("B"));
    addCard(d, QStringLiteral("a"), QString(), QStringLiteral("A"));
    d.tree.setSelected(a);
    d.OpenCategory();
    d.Side1List.AddString(QStringLiteral("a-new")); // an edit in the plain view
    d.Side2List.AddString(QString());

    d.ToggleSubcategoryMode(); // on: folds the edit back first
    QVERIFY(d.ShowSubCategories);
    QCOMPARE(texts(d.Side1List), (QStringList{"a", "a-new", "b"}));
    QCOMPARE(d.fileCount(), 3);

    d.ToggleSubcategoryMode(); // off: plain view again, no write-back
    QVERIFY(!d.ShowSubCategories);
    QCOMPARE(texts(d.Side1List), (QStringList{"a", "a-new"}));
    QCOMPARE(d.OldTreeName, QStringLiteral("A"));
    QCOMPARE(d.fileCount(), 3);
}

void TestDeck::removeViewCardKeepsTextsForUndelete()
{
    Deck d;
    for (int k = 0; k < 6; ++k) {
        d.Side1List.AddString(QStringLiteral("s%1").arg(k));
        d.Side2List.AddString(QStringLiteral("t%1").arg(k));
    }
    for (int m : {0, 4, 5})
        d.Marks.add(m);
    d.RemoveViewCard(2);
    QCOMPARE(d.filehaschanged, 1);
    QCOMPARE(d.totalcardsinfile, 5);
    QCOMPARE(texts(d.Side1List), (QStringList{"s0", "s1", "s3", "s4", "s5"}));
    QCOMPARE(texts(d.UndeleteList1), (QStringList{"s2"}));
    QCOMPARE(texts(d.UndeleteList2), (QStringList{"t2"}));
    QCOMPARE(marks(d.Marks), (QStringList{"0", "3", "4"}));
    QCOMPARE(d.Word, QStringLiteral("s2"));
    QCOMPARE(d.Meaning, QStringLiteral("t2"));
}

void TestDeck::writeBackNeverLosesCardsWhenFull()
{
    // Cards added to the view while other categories fill the store must
    // still reach the file-level lists, all three in step.
    Deck d;
    d.setCapacity(4);
    d.tree.addChild(d.tree.root(), QStringLiteral("A"));
    for (int j = 0; j < 3; ++j)
        addCard(d, QStringLiteral("a%1").arg(j), QString(), QStringLiteral("A"));
    addCard(d, QStringLiteral("m"), QString(), QStringLiteral("Main"));
    d.LoadView(QStringLiteral("Main"));
    QCOMPARE(d.Side1List.AddString(QStringLiteral("m2")), 1);
    d.Side2List.AddString(QString());
    d.WriteBackView();
    QCOMPARE(d.fileCount(), 5);
    QCOMPARE(d.MainSide2List.GetCount(), 5);
    QCOMPARE(d.CatList.GetCount(), 5);
    QVERIFY(d.MainSide1List.AddString(QStringLiteral("more")) < 0);
}

QTEST_GUILESS_MAIN(TestDeck)
#include "test_deck.moc"
