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
            // Only the combined view's order and sides change there.
            switch (rng_.bounded(3)) {
            case 0: shuffle::flip(deck); break;
            case 1: shuffle::shuffleView(deck, shuffle::Order(rng_.bounded(4)), mt_, QLocale::c()); break;
            default: deck.ToggleSubcategoryMode(); break;
            }
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
    void changedStateFollowsSavesUndoRedoAndDroppedSteps();
    void subcategoryVisitsCostTheHistoryLittle();
    void historyStaysWithinItsBytes();
    void importOfManyCategoriesIsOneSmallStep();
    void roundTripsBetweenCategoriesDoNotPileUp();
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

void TestUndo::changedStateFollowsSavesUndoRedoAndDroppedSteps()
{
    // The model names every state a step leads to; the deck reads as
    // changed exactly when the state it is in is not the one last saved,
    // also once the steps around the save were dropped past the cap.
    for (quint32 seed = 1; seed <= 60; ++seed) {
        Runner run(seed);
        Deck deck;
        deck.setHistoryEnabled(true);
        const int cap = 1 + int(run.bounded(6));
        deck.setHistoryLimits(cap, size_t(1) << 40);
        run.buildDeck(deck);
        int next = 0;
        std::vector<int> states{next++}; // states[i]: after i of the steps kept
        int applied = 0;
        int saved = states[0];
        for (int action = 0; action < 160; ++action) {
            const quint32 roll = run.bounded(100);
            QString what;
            if (roll < 45) {
                const QString label = QStringLiteral("step %1").arg(action);
                deck.beginStep(label);
                run.change(deck);
                deck.endStep();
                if (deck.undoLabel() == label) {
                    states.resize(size_t(applied) + 1);
                    states.push_back(next++);
                    ++applied;
                    if (int(states.size()) > cap + 1) {
                        states.erase(states.begin());
                        --applied;
                    }
                }
                what = label;
            } else if (roll < 60) {
                run.wander(deck);
                what = QStringLiteral("wander");
            } else if (roll < 75) {
                QCOMPARE(deck.undo(), applied > 0);
                applied -= applied > 0;
                what = QStringLiteral("undo");
            } else if (roll < 87) {
                QCOMPARE(deck.redo(), size_t(applied) + 1 < states.size());
                applied += size_t(applied) + 1 < states.size();
                what = QStringLiteral("redo");
            } else {
                // Save as the window does: fold the view back, then mark.
                if (deck.showSubCategories())
                    continue;
                deck.WriteBackView();
                deck.markSaved();
                saved = states[size_t(applied)];
                what = QStringLiteral("save");
            }
            QVERIFY2(deck.changed() == (states[size_t(applied)] != saved),
                     qPrintable(QStringLiteral("seed %1 cap %2 action %3 (%4): changed %5")
                                    .arg(seed).arg(cap).arg(action).arg(what).arg(deck.changed())));
            QCOMPARE(deck.undoSteps(), applied);
        }
    }
}

namespace {

// A deck of n cards spread over a few nested categories, read in.
void buildLargeDeck(Deck &deck, int n)
{
    const Deck::Unrecorded reading(deck);
    deck.clear();
    const CategoryTree::NodeId a = deck.addCategory(deck.tree().root(), QStringLiteral("a"));
    deck.addCategory(a, QStringLiteral("b"));
    deck.addCategory(deck.tree().root(), QStringLiteral("c"));
    const QString names[] = {QStringLiteral("Main"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    for (int j = 0; j < n; ++j)
        deck.appendFileCard(QStringLiteral("side one %1").arg(j), QStringLiteral("side two %1").arg(j), names[j % 4]);
    deck.LoadView(CategoryTree::kMainName);
    deck.markSaved();
}

} // namespace

void TestUndo::subcategoryVisitsCostTheHistoryLittle()
{
    // Shuffling and flipping the combined view, then leaving it, keeps an
    // order of the cards, not the cards: a few ints a card a round.
    const int n = 20000;
    Deck deck;
    deck.setHistoryEnabled(true);
    buildLargeDeck(deck, n);
    std::mt19937_64 mt(7);
    const size_t start = deck.historyBytes();
    const int rounds = 6;
    const auto view = [&] {
        QStringList v;
        for (int k = 0; k < deck.viewCount(); ++k)
            v << deck.viewSide1(k) + u'|' + deck.viewSide2(k);
        return v;
    };
    QStringList combined, changed;
    for (int round = 0; round < rounds; ++round) {
        deck.beginStep(QStringLiteral("sub"));
        deck.ToggleSubcategoryMode();
        deck.endStep();
        QCOMPARE(deck.viewCount(), n);
        combined = view();
        deck.beginStep(QStringLiteral("shuffle"));
        shuffle::shuffleView(deck, shuffle::Order::Random, mt, QLocale::c());
        deck.endStep();
        deck.beginStep(QStringLiteral("flip"));
        shuffle::flip(deck);
        deck.endStep();
        changed = view();
        deck.beginStep(QStringLiteral("leave"));
        deck.ToggleSubcategoryMode();
        deck.endStep();
        // A card the history kept costs at least its two texts' handles.
        const size_t perRound = (deck.historyBytes() - start) / size_t(round + 1);
        QVERIFY2(perRound < size_t(n) * 4 * sizeof(int),
                 qPrintable(QStringLiteral("%1 bytes a round").arg(perRound)));
    }
    // And the last round still undoes exactly: the leaving with the flip,
    // then the shuffle, back into the combined view as it was.
    QVERIFY(deck.undo());
    QVERIFY(deck.showSubCategories());
    QVERIFY(deck.undo());
    QVERIFY(deck.showSubCategories());
    QCOMPARE(view(), combined);
    QVERIFY(deck.redo());
    QVERIFY(deck.redo());
    QCOMPARE(view(), changed);
}

void TestUndo::historyStaysWithinItsBytes()
{
    // Random sessions that visit the combined view often, on a deck large
    // enough that a few steps fill the bound: once more than one step is
    // kept, the history holds no more than its bound, and what it keeps
    // still undoes exactly (the first test's model, shortened).
    const size_t bound = 96 * 1024;
    for (quint32 seed = 1; seed <= 12; ++seed) {
        Runner run(seed);
        Deck deck;
        deck.setHistoryEnabled(true);
        deck.setHistoryLimits(Deck::kHistorySteps, bound);
        buildLargeDeck(deck, 3000);
        int dropped = 0;
        for (int action = 0; action < 150; ++action) {
            if (run.bounded(4) == 0) {
                run.wander(deck);
                if (run.bounded(4) == 0)
                    deck.ToggleSubcategoryMode();
                continue;
            }
            const int before = deck.undoSteps();
            deck.beginStep(QStringLiteral("step %1").arg(action));
            run.change(deck);
            deck.endStep();
            if (deck.undoSteps() <= before && deck.undoLabel() == QStringLiteral("step %1").arg(action))
                ++dropped;
            if (deck.undoSteps() > 1)
                QVERIFY2(deck.historyBytes() <= bound,
                         qPrintable(QStringLiteral("seed %1 action %2: %3 bytes in %4 steps %5")
                                        .arg(seed).arg(action).arg(deck.historyBytes()).arg(deck.undoSteps()).arg(deck.undoLabel())));
        }
        QVERIFY2(dropped > 0, "the sessions should reach the bound");
        // Undo all that is kept, redo it all, and the deck is as it was
        // after its last step.
        if (deck.showSubCategories())
            deck.ToggleSubcategoryMode();
        deck.beginStep(QStringLiteral("last"));
        edit::addCard(deck, QStringLiteral("last"), QStringLiteral("card"));
        deck.endStep();
        const Seen end = see(deck);
        int undone = 0;
        while (deck.undo())
            ++undone;
        QVERIFY(deck.changed());
        for (int i = 0; i < undone; ++i)
            QVERIFY(deck.redo());
        QVERIFY2(see(deck) == end, qPrintable(describe(see(deck), end)));
    }
}

void TestUndo::importOfManyCategoriesIsOneSmallStep()
{
    // Each new category used to keep two copies of the whole tree.
    const int categories = 10000;
    Deck deck;
    deck.setHistoryEnabled(true);
    buildLargeDeck(deck, 100);
    const Seen start = see(deck);
    exchange::ParsedImport parsed;
    for (int c = 0; c < categories; ++c) {
        parsed.categories.push_back({QStringLiteral("category %1").arg(c), c % 3 == 0 ? -1 : c - 1});
        parsed.cards.push_back({QStringLiteral("q%1").arg(c), QStringLiteral("a%1").arg(c), c});
    }
    deck.beginStep(QStringLiteral("Import"));
    exchange::applyImport(parsed, deck, CategoryTree::kMainName, exchange::Duplicates::Add);
    deck.endStep();
    QCOMPARE(deck.undoSteps(), 1);
    QCOMPARE(deck.tree().nodeCount(), 4 + categories);
    const Seen imported = see(deck);
    QVERIFY2(deck.historyBytes() < size_t(categories) * 1024,
             qPrintable(QStringLiteral("%1 bytes").arg(deck.historyBytes())));
    QVERIFY(deck.undo());
    QVERIFY2(see(deck) == start, qPrintable(describe(see(deck), start)));
    QCOMPARE(deck.tree().nodeCount(), 4);
    QVERIFY(!deck.tree().contains(QStringLiteral("category 0")));
    QVERIFY(deck.redo());
    QVERIFY2(see(deck) == imported, qPrintable(describe(see(deck), imported)));
    QCOMPARE(deck.tree().findByName(QStringLiteral("category 2")),
             deck.tree().children(deck.tree().findByName(QStringLiteral("category 1"))).front());
}

void TestUndo::roundTripsBetweenCategoriesDoNotPileUp()
{
    // The undo after a step takes back every move since it: moves that
    // come back where the deck already was must not be kept, or the undo
    // grows with each round trip (a pass over the file per move).
    Deck deck;
    deck.setHistoryEnabled(true);
    buildLargeDeck(deck, 2000);
    const Seen start = see(deck);
    deck.beginStep(QStringLiteral("edit"));
    edit::editCard(deck, 3, QStringLiteral("edited"), QStringLiteral("card"));
    deck.endStep();
    const CategoryTree::NodeId a = deck.tree().findByName(QStringLiteral("a"));
    const auto roundTrip = [&] {
        deck.selectCategory(a);
        deck.OpenCategory();
        deck.selectCategory(deck.tree().root());
        deck.OpenCategory();
    };
    roundTrip();
    roundTrip();
    const size_t afterTwo = deck.historyBytes();
    for (int i = 0; i < 28; ++i)
        roundTrip();
    QVERIFY2(deck.historyBytes() <= afterTwo,
             qPrintable(QStringLiteral("%1 bytes after 2 round trips, %2 after 30").arg(afterTwo).arg(deck.historyBytes())));
    QVERIFY(deck.undo());
    QVERIFY2(see(deck) == start, qPrintable(describe(see(deck), start)));
}

QTEST_GUILESS_MAIN(TestUndo)
#include "test_undo.moc"
