// What was learnt of a card follows the card through every change the
// program makes to a deck: Flip, Edit, Cut and Paste, Move, category rename
// and delete, Paste from, Copy to File, Merge, and the undo and redo of
// each, while answers are given in between. One random walk against a
// plain model: each card text has an owner, a text the program changes
// gives its owner's progress to the new text, and a card's state is its
// owner's.

#include "core/category/categorycommands.h"
#include "core/deck/deck.h"
#include "core/deck/transfer.h"
#include "core/edit/cardedit.h"
#include "core/review/cardkey.h"
#include "core/review/progressstore.h"
#include "core/search/shuffle.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <optional>
#include <vector>

using namespace mdk;
using namespace mdk::review;
using namespace mdk::edit;
using namespace mdk::category;

namespace {

// A card's texts as the model knows them: the two sides in either order.
using Pair = std::pair<QString, QString>;
Pair pairOf(const QString &a, const QString &b)
{
    return a < b ? Pair{a, b} : Pair{b, a};
}

struct Model {
    std::map<Pair, int> owner;     // which card each text belongs to
    std::map<int, CardState> learnt; // what each card learnt (absent: new)
    int next = 0;

    int ownerOf(const QString &a, const QString &b)
    {
        const auto [it, added] = owner.try_emplace(pairOf(a, b), next);
        if (added)
            ++next;
        return it->second;
    }
    CardState stateOf(const QString &a, const QString &b)
    {
        const auto it = learnt.find(ownerOf(a, b));
        return it == learnt.end() ? CardState{} : it->second;
    }
    // The program changed a card's text from one pair to another.
    void changed(const Pair &from, const Pair &to)
    {
        const CardState was = stateOf(from.first, from.second);
        if (!was.isNew())
            learnt[ownerOf(to.first, to.second)] = was;
    }
};

struct TextChange {
    Pair from, to;
};

} // namespace

class TestProgressFollows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void progressFollowsTheCardThroughEveryChange()
    {
        QTemporaryDir dir;
        ProgressStore store(dir.filePath(QStringLiteral("progress.sqlite")));
        QVERIFY(store.saving());
        const QString other = dir.filePath(QStringLiteral("other.mdk")), merged = dir.filePath(QStringLiteral("merged.mdk"));

        Deck deck;
        deck.setHistoryEnabled(true);
        // As the review controller listens.
        std::vector<TextChange> heard;
        deck.setTextListener([&](const QString &b1, const QString &b2, const QString &a1, const QString &a2) {
            heard.push_back({pairOf(b1, b2), pairOf(a1, a2)});
            store.follow(cardKey(b1, b2), cardKey(a1, a2));
        });
        int fresh = 0;
        auto newText = [&] { return QStringLiteral("text %1").arg(fresh++); };
        {
            Deck::Unrecorded reading(deck);
            deck.addCategory(deck.tree().root(), QStringLiteral("A"));
            deck.addCategory(deck.tree().findByName(QStringLiteral("A")), QStringLiteral("B"));
            for (int k = 0; k < 30; ++k) {
                const QString a = newText(), b = newText();
                deck.appendFileCard(a, b, k % 3 == 0 ? QStringLiteral("Main") : k % 3 == 1 ? QStringLiteral("A") : QStringLiteral("B"));
            }
            deck.LoadView(QStringLiteral("Main"));
        }
        deck.clearHistory();

        Model model;
        // The model's own history of the steps: the text changes of each.
        std::vector<std::vector<TextChange>> steps;
        size_t applied = 0;
        CopyMemory memory;
        QRandomGenerator rng(29);
        qint64 day = QDate(2026, 3, 1).toJulianDay();
        int categories = 0;

        auto check = [&](const char *after) {
            auto expect = [&](const QString &a, const QString &b) {
                const CardState got = store.states({cardKey(a, b)}).front();
                const CardState want = model.stateOf(a, b);
                if (!(got == want))
                    qWarning("after %s: %s / %s is box %d due %lld, the model says box %d due %lld", after,
                             qPrintable(a), qPrintable(b), got.box, got.dueDay, want.box, want.dueDay);
                return got == want;
            };
            for (int k = 0; k < deck.viewCount(); ++k)
                QVERIFY(expect(deck.viewSide1(k), deck.viewSide2(k)));
            for (int j = 0; j < deck.fileCount(); ++j)
                QVERIFY(expect(deck.fileSide1(j), deck.fileSide2(j)));
            for (int u = 0; u < deck.deletedCount(); ++u)
                QVERIFY(expect(deck.deletedSide1(u), deck.deletedSide2(u)));
        };
        // One command as the window runs it: one step, whose text changes
        // the model keeps for undo and redo.
        auto command = [&](const auto &body) {
            const int before = deck.undoSteps();
            heard.clear();
            deck.beginStep(QStringLiteral("step"));
            body();
            deck.endStep();
            for (const TextChange &c : heard)
                model.changed(c.from, c.to);
            if (deck.undoSteps() == before + 1) {
                steps.resize(applied);
                steps.push_back(heard);
                applied = steps.size();
            }
        };
        auto someCategory = [&] {
            // Renamed or pasted in, any node of the tree.
            return CategoryTree::NodeId(rng.bounded(deck.tree().nodeCount()));
        };

        auto answerCard = [&](int c) {
            const bool knew = rng.bounded(3) != 0;
            const QString a = deck.viewSide1(c), b = deck.viewSide2(c);
            CardState &m = model.learnt[model.ownerOf(a, b)];
            m = review::answer(m, knew, day);
            const Answer got = store.answer(1, cardKey(a, b), knew, QDateTime(QDate::fromJulianDay(day), QTime(9, 0)), day);
            QCOMPARE(got.after, m);
        };
        // Most cards have learnt something before the walk begins.
        for (const char *category : {"Main", "A", "B"}) {
            deck.LoadView(QString::fromLatin1(category));
            for (int c = 0; c < deck.viewCount(); ++c)
                answerCard(c);
        }
        deck.LoadView(QStringLiteral("Main"));
        deck.clearHistory();
        ++day;

        for (int round = 0; round < 400; ++round) {
            const int op = rng.bounded(13);
            const char *names[] = {"answer", "answer", "flip", "edit", "cut and paste", "move", "rename", "delete category",
                                   "open", "undo", "redo", "copy to file and paste from", "merge and paste from"};
            const int k = deck.viewCount() ? rng.bounded(deck.viewCount()) : -1;
            switch (op) {
            case 0:
            case 1: // answers, over several days
                if (k < 0)
                    break;
                for (int n = 0; n < 4 && deck.viewCount(); ++n)
                    answerCard(rng.bounded(deck.viewCount()));
                day += rng.bounded(3);
                break;
            case 2: command([&] { shuffle::flip(deck); }); break;
            case 3:
                if (k >= 0) {
                    const QString a = newText(), b = newText();
                    command([&] { editCard(deck, k, a, b); });
                    // The edited card answered: its undo must take that along.
                    if (rng.bounded(2))
                        answerCard(k);
                }
                break;
            case 4:
                if (k >= 0) {
                    command([&] { cutCard(deck, k, memory); });
                    deck.setCurrentCard(deck.viewCount() ? rng.bounded(deck.viewCount()) : 0, 0);
                    command([&] { pasteCard(deck, memory); });
                }
                break;
            case 5:
                if (k >= 0) {
                    deck.setCurrentCard(k, 0);
                    const CategoryTree::NodeId to = someCategory();
                    const QString name = deck.tree().name(to);
                    if (name != deck.oldTreeName())
                        command([&] { moveCards(deck, &name, rng.bounded(4) == 0); });
                }
                break;
            case 6: {
                const CategoryTree::NodeId node = someCategory();
                if (node != deck.tree().root()) {
                    const QString name = QStringLiteral("Renamed %1").arg(categories++);
                    command([&] { renameCategory(deck, node, name); });
                }
                break;
            }
            case 7: {
                const CategoryTree::NodeId node = someCategory();
                if (node != deck.tree().root())
                    command([&] { deleteCategory(deck, node); });
                break;
            }
            case 8: {
                deck.selectCategory(someCategory());
                deck.OpenCategory();
                break;
            }
            case 9:
                heard.clear();
                for (int n = rng.bounded(3); n > 0 && deck.canUndo() && applied > 1; --n) {
                    QVERIFY(deck.undo());
                    --applied;
                    const std::vector<TextChange> &step = steps[applied];
                    for (auto c = step.rbegin(); c != step.rend(); ++c)
                        model.changed(c->to, c->from);
                }
                if (deck.undo()) {
                    QVERIFY(applied > 0);
                    --applied;
                    // Taken back last change first.
                    const std::vector<TextChange> &step = steps[applied];
                    for (auto c = step.rbegin(); c != step.rend(); ++c)
                        model.changed(c->to, c->from);
                }
                break;
            case 10:
                heard.clear();
                if (deck.redo()) {
                    QVERIFY(applied < steps.size());
                    for (const TextChange &c : steps[applied])
                        model.changed(c.from, c.to);
                    ++applied;
                }
                break;
            case 11:
                if (k >= 0) {
                    QVERIFY(transfer::appendCard(other, deck.viewSide1(k), deck.viewSide2(k)).ok);
                    command([&] { transfer::insertFile(other, deck, deck.tree().name(someCategory())); });
                }
                break;
            case 12:
                if (QFileInfo::exists(other)) {
                    QVERIFY(transfer::mergeFiles({other}, merged).ok);
                    command([&] { transfer::insertFile(merged, deck, QStringLiteral("Main")); });
                }
                break;
            }
            check(names[op]);
            if (QTest::currentTestFailed())
                return;
        }
        // The store read again from the disk says the same.
        ProgressStore again(store.path());
        for (int k = 0; k < deck.viewCount(); ++k)
            QCOMPARE(again.states({cardKey(deck.viewSide1(k), deck.viewSide2(k))}).front(),
                     model.stateOf(deck.viewSide1(k), deck.viewSide2(k)));
    }
};

QTEST_GUILESS_MAIN(TestProgressFollows)
#include "test_progressfollows.moc"
