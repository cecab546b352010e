#include "core/category/categorycommands.h"
#include "deck/reference.h"
#include "support/deckbuilder.h"

#include <QRandomGenerator>
#include <QTest>

using namespace mdk;
using namespace mdk::category;
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

// A plain pointer-free tree, changed the way a tree control would be.
struct LiteralTree {
    struct Node {
        QString name;
        int parent = -1;
        std::vector<int> kids;
        bool gone = false;
    };
    std::vector<Node> nodes{Node{QStringLiteral("Main"), -1, {}, false}};

    void preorder(int n, QStringList &out) const
    {
        out << nodes[size_t(n)].name + u'<' + (n ? nodes[size_t(nodes[size_t(n)].parent)].name : QString());
        for (int k : nodes[size_t(n)].kids)
            preorder(k, out);
    }
    bool contains(const QString &name) const
    {
        for (const Node &n : nodes)
            if (!n.gone && n.name == name)
                return true;
        return false;
    }
    void markGone(int n)
    {
        nodes[size_t(n)].gone = true;
        for (int k : nodes[size_t(n)].kids)
            markGone(k);
    }
};

QStringList treeShape(const CategoryTree &t)
{
    QStringList out;
    for (CategoryTree::NodeId n : t.preorder(t.root()))
        out << t.name(n) + u'<' + (n == t.root() ? QString() : t.name(t.parent(n)));
    return out;
}

struct Decks {
    Deck fast;
    LiteralDeck slow;
    LiteralTree tree;
};

// Random tree (with near-twins in letter case), cards in every category
// and some orphans; the same category is opened in both, and the view
// edited so that a write-back matters.
Decks randomDecks(QRandomGenerator &rng, int cards, int nodes)
{
    Decks d;
    for (int i = 1; i < nodes; ++i) {
        const int parent = int(rng.bounded(int(d.tree.nodes.size())));
        const QString name = i % 4 == 0 ? QStringLiteral("C%1").arg(i - 1) : QStringLiteral("c%1").arg(i);
        d.fast.tree.addChild(parent, name);
        d.tree.nodes.push_back({name, parent, {}, false});
        d.tree.nodes[size_t(parent)].kids.push_back(i);
    }
    for (int j = 0; j < cards; ++j) {
        const int r = int(rng.bounded(nodes + 2));
        const QString cat = r >= nodes ? QStringLiteral("orphan%1").arg(r - nodes) : d.tree.nodes[size_t(r)].name;
        const QString s1 = QStringLiteral("q%1").arg(j), s2 = QStringLiteral("a%1").arg(j);
        d.fast.appendFileCard(s1, s2, cat);
        d.slow.addFileCard(s1, s2, cat);
    }
    d.fast.LoadView(QStringLiteral("Main"));
    reference::loadView(d.slow, QStringLiteral("Main"));
    const int open = 1 + int(rng.bounded(nodes - 1));
    d.fast.tree.setSelected(open);
    d.fast.OpenCategory();
    reference::writeBackView(d.slow);
    reference::loadView(d.slow, d.tree.nodes[size_t(open)].name);
    d.slow.OldTreeName = d.tree.nodes[size_t(open)].name;
    d.fast.appendViewCard(QStringLiteral("new"), QStringLiteral("card"));
    d.slow.Side1List.AddString(QStringLiteral("new"));
    d.slow.Side2List.AddString(QStringLiteral("card"));
    return d;
}

void compare(const Deck &a, const LiteralDeck &b)
{
    QCOMPARE(fileColumn(a, Column::Side1), texts(b.MainSide1List));
    QCOMPARE(fileColumn(a, Column::Category), texts(b.CatList));
    QCOMPARE(viewColumn(a, Column::Side1), texts(b.Side1List));
    QCOMPARE(viewColumn(a, Column::Side2), texts(b.Side2List));
    QCOMPARE(a.OldTreeName, b.OldTreeName);
}

} // namespace

class TestCategoryCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void namesAreCleanedAndChecked();
    void newCategoryIsLastChildAndOpenStays();
    void deleteMatchesLiteralOnRandomTrees();
    void deleteSweepsOrphansForGood();
    void renameKeepsOrphansOfTheNewName();
    void renameInLetterCaseOnly();
    void moveMatchesLiteralOnRandomDecks();
    void moveRefusals();
    void clearGoesToDeletedInOrder();
    void afterMoveKeepsCurrentCardInView();
};

void TestCategoryCommands::namesAreCleanedAndChecked()
{
    QCOMPARE(cleanName(QStringLiteral("a\x07" "b\r\nc") + QChar(0)), QStringLiteral("abc"));
    Deck d = buildDeck({}, {{QStringLiteral("Verbs"), QStringLiteral("Main")}});
    QCOMPARE(checkName(d, cleanName(QStringLiteral("\x07\r\n"))), NameCheck::Empty);
    QCOMPARE(checkName(d, QStringLiteral("Main")), NameCheck::Used);
    QCOMPARE(checkName(d, QStringLiteral("Verbs")), NameCheck::Used);
    QCOMPARE(checkName(d, QStringLiteral("verbs")), NameCheck::Ok);
    QCOMPARE(nameUsedMessage(QStringLiteral("Verbs")),
             QStringLiteral("\"Verbs\" already exists.  You must think of a category name which has not "
                            "already been used."));
}

void TestCategoryCommands::newCategoryIsLastChildAndOpenStays()
{
    Deck d = buildDeck({{QStringLiteral("q"), QStringLiteral("a"), QStringLiteral("A")}},
                       {{QStringLiteral("A"), QStringLiteral("Main")}, {QStringLiteral("B"), QStringLiteral("A")}});
    d.tree.setSelected(1);
    d.OpenCategory();
    d.placeseek = 0;
    d.side = 1;
    const CategoryTree::NodeId n = newCategory(d, 1, QStringLiteral("C"));
    QCOMPARE(d.tree.children(1).back(), n);
    QCOMPARE(d.tree.lastInPreorder(), n);
    QCOMPARE(d.tree.findByName(QStringLiteral("C")), n);
    QCOMPARE(d.tree.selected(), 1);
    QCOMPARE(d.OldTreeName, QStringLiteral("A"));
    QCOMPARE(d.viewCount(), 1);
    QCOMPARE(d.side, 1);
    QCOMPARE(d.filehaschanged, 1);
}

void TestCategoryCommands::deleteMatchesLiteralOnRandomTrees()
{
    QRandomGenerator rng(5150);
    for (int round = 0; round < 60; ++round) {
        const int nodes = 2 + int(rng.bounded(14));
        Decks d = randomDecks(rng, int(rng.bounded(60)), nodes);
        const int victim = d.fast.tree.selected();

        // Literal: the node goes with its subtree, the next sibling (else
        // the parent) is selected, which folds back and opens it; then the
        // sweep looks at each index again after a removal.
        LiteralTree &t = d.tree;
        const int parent = t.nodes[size_t(victim)].parent;
        auto &kids = t.nodes[size_t(parent)].kids;
        const auto at = std::find(kids.begin(), kids.end(), victim);
        const int next = at + 1 != kids.end() ? *(at + 1) : parent;
        kids.erase(at);
        t.markGone(victim);
        reference::writeBackView(d.slow);
        reference::loadView(d.slow, t.nodes[size_t(next)].name);
        d.slow.OldTreeName = t.nodes[size_t(next)].name;
        for (int j = 0; j < d.slow.CatList.GetCount();) {
            if (t.contains(d.slow.CatList.at(j))) {
                ++j;
                continue;
            }
            d.slow.CatList.DeleteString(j);
            d.slow.MainSide1List.DeleteString(j);
            d.slow.MainSide2List.DeleteString(j);
        }

        const int deletedBefore = d.fast.deletedCount();
        const CategoryTree::NodeId selected = deleteCategory(d.fast, victim);
        QCOMPARE(d.fast.tree.selected(), selected);
        QCOMPARE(d.fast.tree.name(selected), t.nodes[size_t(next)].name);
        QStringList shape;
        t.preorder(0, shape);
        QCOMPARE(treeShape(d.fast.tree), shape);
        compare(d.fast, d.slow);
        QCOMPARE(d.fast.deletedCount(), deletedBefore);
        QCOMPARE(d.fast.filehaschanged, 1);
        // The name index follows the renumbered nodes.
        for (CategoryTree::NodeId n : d.fast.tree.preorder(0))
            QCOMPARE(d.fast.tree.findByName(d.fast.tree.name(n)), n);
    }
}

void TestCategoryCommands::deleteSweepsOrphansForGood()
{
    // A two-level subtree, a sibling after it, and an orphan.
    Deck d = buildDeck({{QStringLiteral("1"), QString(), QStringLiteral("A")},
                        {QStringLiteral("2"), QString(), QStringLiteral("A1")},
                        {QStringLiteral("3"), QString(), QStringLiteral("lost")},
                        {QStringLiteral("4"), QString(), QStringLiteral("A11")},
                        {QStringLiteral("5"), QString(), QStringLiteral("B")},
                        {QStringLiteral("6"), QString(), QStringLiteral("Main")}},
                       {{QStringLiteral("A"), QStringLiteral("Main")},
                        {QStringLiteral("A1"), QStringLiteral("A")},
                        {QStringLiteral("A11"), QStringLiteral("A1")},
                        {QStringLiteral("B"), QStringLiteral("Main")}});
    d.tree.setSelected(d.tree.findByName(QStringLiteral("A")));
    d.OpenCategory();
    const CategoryTree::NodeId sel = deleteCategory(d, d.tree.findByName(QStringLiteral("A")));
    QCOMPARE(d.tree.name(sel), QStringLiteral("B"));
    QCOMPARE(d.tree.nodeCount(), 2);
    QCOMPARE(fileColumn(d, Column::Side1), (QStringList{QStringLiteral("5"), QStringLiteral("6")}));
    QCOMPARE(viewColumn(d, Column::Side1), QStringList{QStringLiteral("5")});
    QCOMPARE(d.deletedCount(), 0);

    // The last child gives the selection to its parent; "Main" stays.
    QCOMPARE(d.tree.name(deleteCategory(d, sel)), QStringLiteral("Main"));
    QCOMPARE(d.OldTreeName, QStringLiteral("Main"));
    QCOMPARE(viewColumn(d, Column::Side1), QStringList{QStringLiteral("6")});
    QCOMPARE(deleteCategory(d, d.tree.root()), d.tree.root());
    QCOMPARE(d.tree.nodeCount(), 1);
}

void TestCategoryCommands::renameKeepsOrphansOfTheNewName()
{
    QRandomGenerator rng(77);
    for (int round = 0; round < 40; ++round) {
        Decks d = randomDecks(rng, 10 + int(rng.bounded(40)), 2 + int(rng.bounded(10)));
        const QString to = QStringLiteral("orphan%1").arg(rng.bounded(2));
        const CategoryTree::NodeId node = d.fast.tree.selected();
        const QString from = d.fast.tree.name(node);
        if (d.fast.viewCount() > 1)
            d.fast.Marks.add(d.fast.viewCount() - 1);
        d.fast.placeseek = d.fast.viewCount() - 1;
        const QString current = d.fast.viewSide1(d.fast.placeseek);

        reference::writeBackView(d.slow);
        reference::renameCategory(d.slow, from, to);
        reference::loadView(d.slow, to);

        renameCategory(d.fast, node, to);
        QCOMPARE(d.fast.tree.name(node), to);
        QCOMPARE(d.fast.tree.findByName(to), node);
        QVERIFY(!d.fast.tree.contains(from));
        compare(d.fast, d.slow);
        // Same card shown, its mark moved with it.
        QCOMPARE(d.fast.viewSide1(d.fast.placeseek), current);
        if (d.fast.viewCount() > 1 && d.fast.Marks.GetCount() > 0)
            QCOMPARE(d.fast.Marks.valueAt(0), d.fast.placeseek);

        // The next write-back loses no card.
        const int total = d.fast.fileCount();
        d.fast.WriteBackView();
        QCOMPARE(d.fast.fileCount(), total);
    }
}

void TestCategoryCommands::renameInLetterCaseOnly()
{
    Deck d = buildDeck({{QStringLiteral("1"), QString(), QStringLiteral("verbs")},
                        {QStringLiteral("2"), QString(), QStringLiteral("Main")},
                        {QStringLiteral("3"), QString(), QStringLiteral("verbs")}},
                       {{QStringLiteral("verbs"), QStringLiteral("Main")}});
    d.tree.setSelected(1);
    d.OpenCategory();
    QCOMPARE(checkName(d, QStringLiteral("verbs")), NameCheck::Used);
    renameCategory(d, 1, QStringLiteral("Verbs"));
    QCOMPARE(fileColumn(d, Column::Category),
             (QStringList{QStringLiteral("Main"), QStringLiteral("Verbs"), QStringLiteral("Verbs")}));
    QCOMPARE(d.OldTreeName, QStringLiteral("Verbs"));
    QVERIFY(!d.tree.contains(QStringLiteral("verbs")));
    QCOMPARE(d.filehaschanged, 1);
}

void TestCategoryCommands::moveMatchesLiteralOnRandomDecks()
{
    QRandomGenerator rng(31337);
    for (int round = 0; round < 60; ++round) {
        const int nodes = 2 + int(rng.bounded(10));
        Decks d = randomDecks(rng, int(rng.bounded(50)), nodes);
        const bool all = rng.bounded(2);
        QString dest;
        do
            dest = d.tree.nodes[size_t(rng.bounded(nodes))].name;
        while (dest == d.fast.OldTreeName);
        d.fast.placeseek = int(rng.bounded(d.fast.viewCount()));
        for (int k = 0; k < d.fast.viewCount(); k += 3)
            if (d.fast.Marks.add(k))
                d.slow.MarkList << QString::number(k);

        if (all)
            reference::moveAllViewCards(d.slow, dest);
        else
            reference::moveViewCard(d.slow, d.fast.placeseek, dest);
        QCOMPARE(moveCards(d.fast, &dest, all), MoveResult::Moved);
        compare(d.fast, d.slow);
        QCOMPARE(markTexts(d.fast.Marks), d.slow.MarkList);
        QCOMPARE(d.fast.filehaschanged, 1);

        // Opening the destination shows its own cards, then the moved ones.
        const QStringList moved = all ? texts(d.slow.Side1List) : QStringList{};
        d.fast.tree.setSelected(d.fast.tree.findByName(dest));
        d.fast.OpenCategory();
        reference::writeBackView(d.slow);
        reference::loadView(d.slow, dest);
        QCOMPARE(viewColumn(d.fast, Column::Side1), texts(d.slow.Side1List));
    }
}

void TestCategoryCommands::moveRefusals()
{
    Deck d = buildDeck({{QStringLiteral("1"), QString(), QStringLiteral("A")},
                        {QStringLiteral("2"), QString(), QStringLiteral("A")}},
                       {{QStringLiteral("A"), QStringLiteral("Main")}, {QStringLiteral("a"), QStringLiteral("Main")}}, 2);
    d.tree.setSelected(1);
    d.OpenCategory();
    const QString same = QStringLiteral("A"), twin = QStringLiteral("a"), main = QStringLiteral("Main");
    QCOMPARE(moveCards(d, nullptr, false), MoveResult::NoDestination);
    QCOMPARE(moveCards(d, &same, true), MoveResult::SameCategory);
    // The file already holds the store size: a single card has no room.
    QCOMPARE(moveCards(d, &twin, false), MoveResult::StoreFull);
    QCOMPARE(d.viewCount(), 2);
    QCOMPARE(d.filehaschanged, 0);
    // Moving all relabels in place and always fits; a case twin is another category.
    QCOMPARE(moveCards(d, &twin, true), MoveResult::Moved);
    QCOMPARE(d.viewCount(), 0);
    QCOMPARE(fileColumn(d, Column::Category), (QStringList{twin, twin}));
    QCOMPARE(d.OldTreeName, same);
    QCOMPARE(moveCards(d, &main, false), MoveResult::Moved); // empty view: nothing to move
    QCOMPARE(d.fileCount(), 2);
}

void TestCategoryCommands::clearGoesToDeletedInOrder()
{
    Deck d = mainDeck(5);
    d.Marks.add(3);
    d.Marks.add(1);
    clearCategory(d);
    QCOMPARE(d.viewCount(), 0);
    QCOMPARE(d.Marks.GetCount(), 0);
    QCOMPARE(d.filehaschanged, 1);
    QCOMPARE(deletedColumn(d, Column::Side1),
             (QStringList{QStringLiteral("q1"), QStringLiteral("q2"), QStringLiteral("q3"), QStringLiteral("q4"),
                          QStringLiteral("q5")}));
    d.appendViewCard(QStringLiteral("n"), QStringLiteral("m"));
    QVERIFY(d.undeleteAll());
    QCOMPARE(viewColumn(d, Column::Side1),
             (QStringList{QStringLiteral("n"), QStringLiteral("q1"), QStringLiteral("q2"), QStringLiteral("q3"),
                          QStringLiteral("q4"), QStringLiteral("q5")}));
}

void TestCategoryCommands::afterMoveKeepsCurrentCardInView()
{
    Deck d = mainDeck(3);
    const QString dest = QStringLiteral("B");
    d.tree.addChild(0, dest);
    d.placeseek = 2;
    d.side = 1;
    moveCards(d, &dest, false);
    afterMove(d);
    QCOMPARE(d.placeseek, 1); // the new last card
    QCOMPARE(d.side, 0);
    d.placeseek = 0;
    moveCards(d, &dest, true);
    afterMove(d);
    QCOMPARE(d.placeseek, 0);
    d.side = 1;
    afterMove(d); // a cancelled dialog too
    QCOMPARE(d.side, 0);
}

QTEST_GUILESS_MAIN(TestCategoryCommands)
#include "test_categorycommands.moc"
