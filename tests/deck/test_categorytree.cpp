#include "core/deck/cardfile.h"
#include "core/deck/categorytree.h"

#include <QRandomGenerator>
#include <QTest>

using namespace mdk;

class TestCategoryTree : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void preorderAndDescendants();
    void precedesMatchesPreorderRank();
    void repeatedNamesResolveToFirstInPreorder();
    void lastInPreorderFollowsAdditions();
    void deepCorruptTreeWithRepeatsReads();
};

void TestCategoryTree::preorderAndDescendants()
{
    CategoryTree t;
    const auto a = t.addChild(t.root(), QStringLiteral("A"));
    const auto b = t.addChild(t.root(), QStringLiteral("B"));
    const auto a1 = t.addChild(a, QStringLiteral("A1"));
    const auto a2 = t.addChild(a, QStringLiteral("A2"));
    const auto a11 = t.addChild(a1, QStringLiteral("A11"));
    QCOMPARE(t.preorder(t.root()), (std::vector<int>{0, a, a1, a11, a2, b}));
    QCOMPARE(t.descendants(a), (std::vector<int>{a1, a11, a2}));
    QVERIFY(t.descendants(b).empty());
    QVERIFY(t.preorder(CategoryTree::None).empty());
    t.reset();
    QCOMPARE(t.nodeCount(), 1);
    QCOMPARE(t.name(t.root()), QStringLiteral("Main"));
}

void TestCategoryTree::precedesMatchesPreorderRank()
{
    QRandomGenerator rng(7);
    for (int round = 0; round < 40; ++round) {
        CategoryTree t;
        // Mostly deep chains with some branching, to exercise the jumps.
        for (int i = 1; i < 300; ++i) {
            const int parent = rng.bounded(4) ? t.nodeCount() - 1 : int(rng.bounded(t.nodeCount()));
            t.addChild(parent, QString::number(i));
        }
        const auto order = t.preorder(t.root());
        std::vector<int> rank(order.size());
        for (size_t r = 0; r < order.size(); ++r)
            rank[size_t(order[r])] = int(r);
        for (int q = 0; q < 2000; ++q) {
            const int a = int(rng.bounded(t.nodeCount()));
            const int b = int(rng.bounded(t.nodeCount()));
            QCOMPARE(t.precedes(a, b), rank[size_t(a)] < rank[size_t(b)]);
        }
        QCOMPARE(t.lastInPreorder(), order.back());
    }
}

void TestCategoryTree::repeatedNamesResolveToFirstInPreorder()
{
    CategoryTree t;
    const auto a = t.addChild(t.root(), QStringLiteral("A"));
    const auto late = t.addChild(t.root(), QStringLiteral("dup"));
    QCOMPARE(t.findByName(QStringLiteral("dup")), late);
    const auto early = t.addChild(a, QStringLiteral("dup")); // added later, earlier in pre-order
    QCOMPARE(t.findByName(QStringLiteral("dup")), early);
    t.addChild(late, QStringLiteral("dup"));
    QCOMPARE(t.findByName(QStringLiteral("dup")), early);

    bool found = true;
    QCOMPARE(t.findCategory(QStringLiteral("Main"), &found), t.root());
    QVERIFY(found);
    QCOMPARE(t.findCategory(QStringLiteral("nothing"), &found), t.lastInPreorder());
    QVERIFY(!found);
}

void TestCategoryTree::lastInPreorderFollowsAdditions()
{
    CategoryTree t;
    QCOMPARE(t.lastInPreorder(), t.root());
    const auto a = t.addChild(t.root(), QStringLiteral("A"));
    const auto a1 = t.addChild(a, QStringLiteral("A1"));
    QCOMPARE(t.lastInPreorder(), a1);
    const auto b = t.addChild(t.root(), QStringLiteral("B"));
    QCOMPARE(t.lastInPreorder(), b);
    t.addChild(a1, QStringLiteral("A11")); // inside an earlier subtree
    QCOMPARE(t.lastInPreorder(), b);
}

void TestCategoryTree::deepCorruptTreeWithRepeatsReads()
{
    // A long chain, then many categories of one name hung at both ends of it:
    // comparing their places must not walk the chain each time.
    const int depth = 60000;
    QByteArray bytes = QByteArray::number(1 + depth + depth) + "\aMain\aRoot\a";
    QByteArray parent = "Main";
    for (int i = 0; i < depth; ++i) {
        const QByteArray name = "c" + QByteArray::number(i);
        bytes += name + '\a' + parent + '\a';
        parent = name;
    }
    for (int i = 0; i < depth; ++i)
        bytes += QByteArray("dup\a") + (i % 2 ? parent : QByteArray("Main")) + '\a';
    Deck d;
    cardfile::parse(std::string_view(bytes.constData(), size_t(bytes.size())), d);
    QCOMPARE(d.tree().nodeCount(), 1 + 2 * depth);
    const auto first = d.tree().findByName(QStringLiteral("dup"));
    QCOMPARE(d.tree().name(d.tree().parent(first)), QStringLiteral("c%1").arg(depth - 1));
    QCOMPARE(d.tree().preorder(first).size(), size_t(1));
}

QTEST_GUILESS_MAIN(TestCategoryTree)
#include "test_categorytree.moc"
