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

QString s(const char *text) { return QString::fromLatin1(text); }
QStringList list(const char *words) { return s(words).split(u' ', Qt::SkipEmptyParts); }
QStringList texts(const TextList &l) { return QStringList(l.items().begin(), l.items().end()); }

// A tree kept as a tree control would keep it: children lists, recursion.
struct LiteralNode {
    QString name;
    int parent;
    std::vector<int> kids;
    bool gone = false;
};

struct Decks {
    Deck fast;
    LiteralDeck slow;
    std::vector<LiteralNode> tree{{s("Main"), -1, {}, false}};

    void shape(int n, QStringList &out) const
    {
        out << tree[size_t(n)].name;
        for (int k : tree[size_t(n)].kids)
            shape(k, out);
    }
    void drop(int n)
    {
        tree[size_t(n)].gone = true;
        for (int k : tree[size_t(n)].kids)
            drop(k);
    }
    void open(const QString &name) // a click in the tree
    {
        reference::writeBackView(slow);
        reference::loadView(slow, name);
        slow.OldTreeName = name;
    }
    void compare() const
    {
        QCOMPARE(fileColumn(fast, Column::Side1), texts(slow.MainSide1List));
        QCOMPARE(fileColumn(fast, Column::Category), texts(slow.CatList));
        QCOMPARE(viewColumn(fast, Column::Side1), texts(slow.Side1List));
        QCOMPARE(fast.oldTreeName(), slow.OldTreeName);
    }
};

// A random tree with near-twins in letter case, cards in every category and
// orphans; a category other than "Main" open, with a card added to its view.
Decks randomDecks(QRandomGenerator &rng, int cards, int nodes)
{
    Decks d;
    for (int i = 1; i < nodes; ++i) {
        const int parent = int(rng.bounded(i));
        const QString name = (i % 4 ? s("c") : s("C")) + QString::number(i % 4 ? i : i - 1);
        d.fast.addCategory(parent, name);
        d.tree.push_back({name, parent, {}, false});
        d.tree[size_t(parent)].kids.push_back(i);
    }
    for (int j = 0; j < cards; ++j) {
        const int r = int(rng.bounded(nodes + 2));
        const QString cat = r >= nodes ? s("orphan") + QString::number(r - nodes) : d.tree[size_t(r)].name;
        d.fast.appendFileCard(QString::number(j), QString(), cat);
        d.slow.addFileCard(QString::number(j), QString(), cat);
    }
    const int open = 1 + int(rng.bounded(nodes - 1));
    d.fast.LoadView(s("Main"));
    d.fast.selectCategory(open);
    d.fast.OpenCategory();
    reference::loadView(d.slow, s("Main"));
    d.open(d.tree[size_t(open)].name);
    d.fast.appendViewCard(s("new"), QString());
    reference::addViewCard(d.slow, s("new"), QString());
    return d;
}

} // namespace

class TestCategoryCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void namesAndNew();
    void deleteMatchesLiteralOnRandomTrees();
    void renameKeepsOrphansOfTheNewName();
    void moveMatchesLiteralOnRandomDecks();
    void moveRefusalsAndAfterMove();
    void clearGoesToDeletedInOrder();
};

void TestCategoryCommands::namesAndNew()
{
    QCOMPARE(cleanName(s("a\x07" "b\r\nc") + QChar(0)), s("abc"));
    Deck d = buildDeck({{s("1"), {}, s("verbs")}, {s("2"), {}, s("Main")}, {s("3"), {}, s("verbs")}},
                       {{s("verbs"), s("Main")}});
    QCOMPARE(checkName(d, cleanName(s("\x07\r\n"))), NameCheck::Empty);
    QCOMPARE(checkName(d, s("Main")), NameCheck::Used);
    QCOMPARE(checkName(d, s("verbs")), NameCheck::Used); // also a rename to the same name
    QCOMPARE(checkName(d, s("Verbs")), NameCheck::Ok);
    QCOMPARE(nameUsedMessage(s("V")),
             s("\"V\" already exists.  You must think of a category name which has not already been used."));

    d.selectCategory(1);
    d.OpenCategory();
    const CategoryTree::NodeId n = newCategory(d, 0, s("nouns"));
    QCOMPARE(d.tree().children(0).back(), n);
    QCOMPARE(d.tree().lastInPreorder(), n);
    QCOMPARE(d.tree().selected(), 1);
    QVERIFY(d.changed());
    // A change of letter case relabels each card once.
    renameCategory(d, 1, s("Verbs"));
    QCOMPARE(fileColumn(d, Column::Category), list("Main Verbs Verbs"));
    QCOMPARE(d.tree().findByName(s("Verbs")), 1);
    QVERIFY(!d.tree().contains(s("verbs")));
}

void TestCategoryCommands::deleteMatchesLiteralOnRandomTrees()
{
    QRandomGenerator rng(5150);
    for (int round = 0; round < 60; ++round) {
        Decks d = randomDecks(rng, int(rng.bounded(60)), 2 + int(rng.bounded(14)));
        const int victim = d.fast.tree().selected();
        // Literal: the subtree goes, the next sibling (else the parent) is
        // clicked, and the sweep looks at the same index after a removal.
        auto &kids = d.tree[size_t(d.tree[size_t(victim)].parent)].kids;
        const auto at = std::find(kids.begin(), kids.end(), victim);
        const int next = at + 1 != kids.end() ? *(at + 1) : d.tree[size_t(victim)].parent;
        kids.erase(at);
        d.drop(victim);
        d.open(d.tree[size_t(next)].name);
        for (int j = 0; j < d.slow.CatList.GetCount();) {
            const QString cat = d.slow.CatList.at(j);
            if (std::any_of(d.tree.begin(), d.tree.end(), [&](auto &n) { return !n.gone && n.name == cat; })) {
                ++j;
                continue;
            }
            for (TextList *l : {&d.slow.CatList, &d.slow.MainSide1List, &d.slow.MainSide2List})
                l->DeleteString(j);
        }

        const CategoryTree::NodeId selected = deleteCategory(d.fast, victim);
        QCOMPARE(d.fast.tree().selected(), selected);
        QCOMPARE(d.fast.tree().name(selected), d.tree[size_t(next)].name);
        QStringList shape, fastShape;
        d.shape(0, shape);
        for (CategoryTree::NodeId n : d.fast.tree().preorder(0)) {
            fastShape << d.fast.tree().name(n);
            QCOMPARE(d.fast.tree().findByName(d.fast.tree().name(n)), n);
        }
        QCOMPARE(fastShape, shape);
        d.compare();
        QCOMPARE(d.fast.deletedCount(), 0); // not undeletable
        QVERIFY(d.fast.changed());
    }
}

void TestCategoryCommands::renameKeepsOrphansOfTheNewName()
{
    QRandomGenerator rng(77);
    for (int round = 0; round < 40; ++round) {
        Decks d = randomDecks(rng, 10 + int(rng.bounded(40)), 2 + int(rng.bounded(10)));
        const QString to = s("orphan") + QString::number(rng.bounded(2));
        const CategoryTree::NodeId node = d.fast.tree().selected();
        d.fast.setCurrentCard(d.fast.viewCount() - 1, d.fast.side());
        d.fast.addMark(d.fast.placeseek());
        d.fast.appendViewCard(s("unmarked"), QString());
        reference::addViewCard(d.slow, s("unmarked"), QString());

        reference::writeBackView(d.slow);
        reference::renameCategory(d.slow, d.fast.tree().name(node), to);
        reference::loadView(d.slow, to);
        renameCategory(d.fast, node, to);
        d.compare();
        QCOMPARE(d.fast.tree().findByName(to), node);
        // The same card shown, its mark moved with it.
        QCOMPARE(d.fast.viewSide1(d.fast.placeseek()), s("new"));
        QCOMPARE(markTexts(d.fast.marks()), QStringList{QString::number(d.fast.placeseek())});
        // The next write-back loses no card.
        const int total = d.fast.fileCount();
        d.fast.WriteBackView();
        QCOMPARE(d.fast.fileCount(), total);
    }
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
            dest = d.tree[size_t(rng.bounded(nodes))].name;
        while (dest == d.fast.oldTreeName());
        d.fast.setCurrentCard(int(rng.bounded(d.fast.viewCount())), d.fast.side());
        for (int k = 0; k < d.fast.viewCount(); k += 3)
            if (d.fast.addMark(k))
                d.slow.MarkList << QString::number(k);

        if (all)
            reference::moveAllViewCards(d.slow, dest);
        else
            reference::moveViewCard(d.slow, d.fast.placeseek(), dest);
        QCOMPARE(moveCards(d.fast, &dest, all), MoveResult::Moved);
        d.compare();
        QCOMPARE(markTexts(d.fast.marks()), d.slow.MarkList);
        // Opening the destination: its own cards, then the moved ones.
        d.fast.selectCategory(d.fast.tree().findByName(dest));
        d.fast.OpenCategory();
        d.open(dest);
        d.compare();
    }
}

void TestCategoryCommands::moveRefusalsAndAfterMove()
{
    Deck d = buildDeck({{s("1"), {}, s("A")}, {s("2"), {}, s("A")}, {s("3"), {}, s("A")}},
                       {{s("A"), s("Main")}, {s("a"), s("Main")}}, 3);
    d.selectCategory(1);
    d.OpenCategory();
    const QString same = s("A"), twin = s("a");
    QCOMPARE(moveCards(d, nullptr, false), MoveResult::NoDestination);
    QCOMPARE(moveCards(d, &same, true), MoveResult::SameCategory);
    QCOMPARE(moveCards(d, &twin, false), MoveResult::StoreFull); // the file has no room left
    QVERIFY(!d.changed());
    QCOMPARE(d.viewCount(), 3);

    d.setCurrentCard(2, d.side());
    d.setSide(1);
    afterMove(d); // a cancelled dialog
    QCOMPARE(d.placeseek(), 2);
    QCOMPARE(d.side(), 0);
    d.setCapacity(10);
    QCOMPARE(moveCards(d, &twin, false), MoveResult::Moved);
    afterMove(d);
    QCOMPARE(d.placeseek(), 1); // the new last card
    QCOMPARE(moveCards(d, &twin, true), MoveResult::Moved); // a case twin is another category
    afterMove(d);
    QCOMPARE(d.placeseek(), 0);
    QCOMPARE(fileColumn(d, Column::Category), list("a a a"));
    QCOMPARE(d.oldTreeName(), same);
}

void TestCategoryCommands::clearGoesToDeletedInOrder()
{
    Deck d = mainDeck(4);
    d.addMark(3);
    clearCategory(d);
    QCOMPARE(d.viewCount() + d.marks().GetCount(), 0);
    QVERIFY(d.changed());
    d.appendViewCard(s("n"), s("m"));
    QVERIFY(d.undeleteAll());
    QCOMPARE(viewColumn(d, Column::Side1), list("n q1 q2 q3 q4"));
}

QTEST_GUILESS_MAIN(TestCategoryCommands)
#include "test_categorycommands.moc"
