// Undo and redo: random runs of every kind of change, with moves between
// categories, marks and the current card in between, checked against what
// the deck was before and after each step.

#include "core/category/categorycommands.h"
#include "core/deck/cardfile.h"
#include "core/deck/transfer.h"
#include "core/edit/cardedit.h"
#include "core/exchange/exchange.h"
#include "core/search/search.h"
#include "core/search/shuffle.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QtTest>

#include <random>

using namespace mdk;

namespace {

// Everything a user can see of a deck: the file it would save, the view,
// the deleted cards, the marks, the current card and side, the open and
// selected category and the subcategory mode.
struct Seen {
    QByteArray file;
    QStringList view, deleted;
    std::vector<int> marks;
    int placeseek = 0, side = 0, selected = 0, fileCards = 0;
    QString open;
    bool sub = false;

    bool operator==(const Seen &) const = default;
};

Seen see(const Deck &deck)
{
    Seen s;
    Deck copy = deck;
    if (!copy.showSubCategories())
        copy.WriteBackView();
    s.file = cardfile::serializeDeck(copy);
    for (int k = 0; k < deck.viewCount(); ++k)
        s.view << deck.viewSide1(k) + u'|' + deck.viewSide2(k);
    for (int u = 0; u < deck.deletedCount(); ++u)
        s.deleted << deck.deletedSide1(u) + u'|' + deck.deletedSide2(u);
    s.marks = deck.marks().values();
    s.placeseek = deck.placeseek();
    s.side = deck.side();
    s.selected = deck.tree().selected();
    s.open = deck.oldTreeName();
    s.sub = deck.showSubCategories();
    s.fileCards = deck.fileCount();
    return s;
}

QString describe(const Seen &a, const Seen &b)
{
    QStringList why;
    if (a.file != b.file)
        why << QStringLiteral("file");
    if (a.view != b.view)
        why << QStringLiteral("view %1 vs %2").arg(a.view.join(u',')).arg(b.view.join(u','));
    if (a.deleted != b.deleted)
        why << QStringLiteral("deleted");
    if (a.marks != b.marks)
        why << QStringLiteral("marks");
    if (a.placeseek != b.placeseek || a.side != b.side)
        why << QStringLiteral("current %1/%2 vs %3/%4").arg(a.placeseek).arg(a.side).arg(b.placeseek).arg(b.side);
    if (a.open != b.open || a.selected != b.selected || a.sub != b.sub)
        why << QStringLiteral("category %1 vs %2").arg(a.open, b.open);
    if (a.fileCards != b.fileCards)
        why << QStringLiteral("file cards %1 vs %2").arg(a.fileCards).arg(b.fileCards);
    return why.join(QStringLiteral("; "));
}

class Runner {
public:
    explicit Runner(quint32 seed) : rng_(seed), mt_(seed) {}

    void buildDeck(Deck &deck)
    {
        const Deck::Unrecorded reading(deck);
        deck.clear();
        const int categories = int(rng_.bounded(5));
        for (int c = 0; c < categories; ++c)
            deck.addCategory(CategoryTree::NodeId(rng_.bounded(deck.tree().nodeCount())), QStringLiteral("c%1").arg(c));
        const int cards = int(rng_.bounded(40));
        for (int j = 0; j < cards; ++j) {
            // Some cards belong to no category of the tree (as in damaged
            // files), so renames meet orphans.
            const int node = int(rng_.bounded(deck.tree().nodeCount() + 1));
            const QString category = node < deck.tree().nodeCount() ? deck.tree().name(node) : QStringLiteral("c9");
            deck.appendFileCard(text(), text(), category);
        }
        deck.LoadView(CategoryTree::kMainName);
        deck.markSaved();
    }

    // A move between categories, a card or a mark: no step of its own.
    void wander(Deck &deck)
    {
        switch (rng_.bounded(4)) {
        case 0:
            deck.selectCategory(CategoryTree::NodeId(rng_.bounded(deck.tree().nodeCount())));
            if (!deck.showSubCategories())
                deck.WriteBackView();
            deck.OpenCategory();
            break;
        case 1:
            if (rng_.bounded(3) == 0)
                deck.ToggleSubcategoryMode();
            break;
        case 2:
            if (deck.viewCount() > 0)
                deck.setCurrentCard(int(rng_.bounded(deck.viewCount())), int(rng_.bounded(2)));
            break;
        default:
            if (deck.viewCount() > 0)
                deck.addMark(int(rng_.bounded(deck.viewCount())));
            break;
        }
    }

    // One command that may change cards or categories.
    void change(Deck &deck)
    {
        const int n = deck.viewCount();
        const int k = n > 0 ? int(rng_.bounded(n)) : 0;
        const CategoryTree &tree = deck.tree();
        const auto anyNode = [&] { return CategoryTree::NodeId(rng_.bounded(tree.nodeCount())); };
        if (deck.showSubCategories()) {
            deck.ToggleSubcategoryMode();
            return;
        }
        switch (rng_.bounded(17)) {
        case 0: edit::addCard(deck, text(), text()); break;
        case 1: if (n) edit::editCard(deck, k, text(), text()); break;
        case 2: if (n) edit::deleteCard(deck, k); break;
        case 3: if (n) edit::cutCard(deck, k, memory_); break;
        case 4: edit::pasteCard(deck, memory_); break;
        case 5: if (deck.deletedCount()) edit::undeleteCard(deck, int(rng_.bounded(deck.deletedCount()))); break;
        case 6: edit::undeleteAll(deck); break;
        case 7: {
            const QString destination = tree.name(anyNode());
            if (n) {
                deck.setCurrentCard(k, 0);
                category::moveCards(deck, &destination, rng_.bounded(2) == 0);
                category::afterMove(deck);
            }
            break;
        }
        case 8: shuffle::flip(deck); break;
        case 9: shuffle::shuffleView(deck, shuffle::Order(rng_.bounded(4)), mt_, QLocale::c()); break;
        case 10: search::removeDuplicates(deck, int(rng_.bounded(2))); break;
        case 11: category::newCategory(deck, anyNode(), QStringLiteral("n%1").arg(rng_.bounded(1000))); break;
        case 12: {
            const CategoryTree::NodeId node = anyNode();
            // Sometimes the name of orphaned cards, so they join the view.
            const QString name = rng_.bounded(2) ? QStringLiteral("c9") : QStringLiteral("r%1").arg(rng_.bounded(1000));
            if (node != tree.root() && !tree.contains(name))
                category::renameCategory(deck, node, name);
            break;
        }
        case 13: {
            const CategoryTree::NodeId node = anyNode();
            if (node != tree.root())
                category::deleteCategory(deck, node);
            break;
        }
        case 14: category::clearCategory(deck); break;
        case 15: {
            // An import into the selected category, some cards into a new
            // sub-category, with every way of meeting a side 1 already there.
            exchange::ParsedImport parsed;
            parsed.categories.push_back({QStringLiteral("imported"), -1});
            for (int i = 0; i < 4; ++i)
                parsed.cards.push_back({text(), text(), int(rng_.bounded(2)) - 1});
            exchange::applyImport(parsed, deck, tree.selectedName(), exchange::Duplicates(rng_.bounded(3)));
            break;
        }
        default: {
            Deck other;
            other.appendFileCard(text(), text(), CategoryTree::kMainName);
            other.appendFileCard(text(), text(), deck.oldTreeName());
            other.LoadView(CategoryTree::kMainName);
            const QByteArray bytes = cardfile::serializeDeck(other);
            transfer::insertBytes(std::string_view(bytes.constData(), size_t(bytes.size())), deck,
                                  tree.selectedName());
            break;
        }
        }
    }

    quint32 bounded(quint32 n) { return rng_.bounded(n); }

private:
    QString text()
    {
        // Few distinct texts, so duplicates turn up.
        return QStringLiteral("t%1").arg(rng_.bounded(12));
    }

    QRandomGenerator rng_;
    std::mt19937_64 mt_;
    edit::CopyMemory memory_;
};

} // namespace

class TestUndo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void randomRunsUndoAndRedoExactly();
};

void TestUndo::randomRunsUndoAndRedoExactly()
{
    for (quint32 seed = 1; seed <= 40; ++seed) {
        Runner run(seed);
        Deck deck;
        deck.setHistoryEnabled(true);
        run.buildDeck(deck);
        QVERIFY(!deck.canUndo());
        const Seen start = see(deck);

        // The model: what each step found and left.
        std::vector<std::pair<Seen, Seen>> steps;
        int applied = 0;
        int made = 0;
        bool firstFromStart = false; // the first step kept began with the deck as read
        for (int action = 0; made < 50 || action < 90; ++action) {
            const quint32 roll = run.bounded(100);
            if (roll < 60) {
                const Seen before = see(deck);
                const int count = deck.undoSteps();
                deck.beginStep(QStringLiteral("step %1").arg(action));
                run.change(deck);
                deck.endStep();
                if (deck.undoSteps() != count) {
                    if (applied == 0)
                        firstFromStart = before == start;
                    QCOMPARE(deck.undoSteps(), applied + 1);
                    steps.resize(size_t(applied));
                    steps.emplace_back(before, see(deck));
                    ++applied;
                    ++made;
                    QVERIFY(deck.changed());
                    QVERIFY(!deck.canRedo());
                }
            } else if (roll < 85) {
                run.wander(deck);
            } else if (roll < 95) {
                if (applied == 0)
                    continue;
                QVERIFY(deck.undo());
                --applied;
                const Seen now = see(deck);
                QVERIFY2(now == steps[size_t(applied)].first,
                         qPrintable(QStringLiteral("seed %1 action %2 undo: %3")
                                        .arg(seed).arg(action).arg(describe(now, steps[size_t(applied)].first))));
            } else {
                if (size_t(applied) == steps.size())
                    continue;
                QVERIFY(deck.redo());
                const Seen now = see(deck);
                QVERIFY2(now == steps[size_t(applied)].second,
                         qPrintable(QStringLiteral("seed %1 action %2 redo: %3")
                                        .arg(seed).arg(action).arg(describe(now, steps[size_t(applied)].second))));
                ++applied;
            }
        }

        // Undo everything: back to the deck as read, and nothing unsaved.
        while (applied > 0) {
            QVERIFY(deck.undo());
            --applied;
            const Seen now = see(deck);
            QVERIFY2(now == steps[size_t(applied)].first,
                     qPrintable(QStringLiteral("seed %1 undo all at %2: %3")
                                    .arg(seed).arg(applied).arg(describe(now, steps[size_t(applied)].first))));
        }
        QVERIFY(!deck.canUndo());
        QVERIFY(!deck.changed());
        if (firstFromStart)
            QVERIFY2(see(deck) == start, qPrintable(describe(see(deck), start)));

        // Redo everything, after wandering about first.
        for (int i = 0; i < 5; ++i)
            run.wander(deck);
        while (size_t(applied) < steps.size()) {
            QVERIFY(deck.redo());
            QVERIFY(deck.changed());
            const Seen now = see(deck);
            QVERIFY2(now == steps[size_t(applied)].second,
                     qPrintable(QStringLiteral("seed %1 redo all at %2: %3")
                                    .arg(seed).arg(applied).arg(describe(now, steps[size_t(applied)].second))));
            ++applied;
        }
        QVERIFY(!deck.canRedo());
    }
}

QTEST_GUILESS_MAIN(TestUndo)
#include "test_undo.moc"
