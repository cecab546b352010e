// The review rules on numbers: the Leitner boxes and the round's choice of
// cards against a plain model over many simulated days, and the progress
// database when it is damaged or held by another program.

#include "core/review/cardkey.h"
#include "core/review/progressstore.h"
#include "core/review/round.h"
#include "core/review/session.h"
#include "support/deckbuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

using namespace mdk::review;

namespace {

// The model: what each text should know, told in the plainest way.
struct ModelCard {
    int box = 0; // 0: never reviewed
    qint64 due = 0;
};

QDateTime at(qint64 day, int hour)
{
    return QDateTime(QDate::fromJulianDay(day), QTime(hour, 0));
}

} // namespace

class TestReview : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Day after day a random view with marks and repeated texts is
    // reviewed with random answers; the round's cards and the stored boxes
    // must be what the model says, also after the store is opened again.
    void roundsFollowTheModelOverManyDays()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("progress.sqlite"));
        QRandomGenerator rng(20261207);
        const int cards = 60;
        std::vector<QString> texts(cards);
        for (int k = 0; k < cards; ++k) // some texts twice
            texts[size_t(k)] = QStringLiteral("word %1").arg(rng.bounded(45));
        std::map<QString, ModelCard> model;
        qint64 day = QDate(2026, 1, 5).toJulianDay();
        auto store = std::make_unique<ProgressStore>(db);
        for (int round = 0; round < 120; ++round) {
            day += rng.bounded(4);
            if (rng.bounded(10) == 0)
                store = std::make_unique<ProgressStore>(db);
            RoundRules rules;
            rules.newCards = 1 + rng.bounded(8);
            std::vector<qint64> keys;
            for (const QString &t : texts)
                keys.push_back(cardKey(t, QStringLiteral("side 2")));
            const std::vector<CardState> states = store->states(keys);
            std::vector<Candidate> candidates;
            std::vector<bool> marked(cards);
            for (int k = 0; k < cards; ++k) {
                marked[size_t(k)] = rng.bounded(6) == 0;
                candidates.push_back(Candidate{keys[size_t(k)], states[size_t(k)], marked[size_t(k)]});
            }

            // The model's round: due texts by due day then view order, then
            // new ones in view order; each text once.
            std::vector<std::pair<qint64, int>> due;
            std::vector<int> fresh;
            for (int k = 0; k < cards; ++k) {
                const ModelCard &m = model[texts[size_t(k)]];
                if (marked[size_t(k)])
                    continue;
                if (m.box > 0 && m.due <= day)
                    due.push_back({m.due, k});
                else if (m.box == 0 && int(fresh.size()) < rules.newCards)
                    fresh.push_back(k);
            }
            std::sort(due.begin(), due.end());
            std::vector<int> expected;
            std::set<QString> seen;
            for (const auto &[d, k] : due)
                if (seen.insert(texts[size_t(k)]).second)
                    expected.push_back(k);
            for (int k : fresh)
                if (seen.insert(texts[size_t(k)]).second)
                    expected.push_back(k);

            Round r(buildRound(candidates, day, rules));
            std::vector<int> got;
            while (!r.finished()) {
                got.push_back(r.current().card);
                const bool knew = rng.bounded(3) != 0;
                ModelCard &m = model[texts[size_t(r.current().card)]];
                m.box = knew ? std::min(std::max(m.box, 1) + 1, 5) : 1;
                m.due = day + (qint64(1) << (m.box - 1));
                answerCard(r, knew, *store, 1, at(day, 9 + rng.bounded(12)));
            }
            QCOMPARE(got, expected);
            QVERIFY(store->saving());
        }
        store = std::make_unique<ProgressStore>(db);
        for (const QString &t : texts) {
            const CardState s = store->states({cardKey(t, QStringLiteral("side 2"))}).front();
            QCOMPARE(s.box, model[t].box);
            QCOMPARE(s.dueDay, model[t].due);
        }
    }

    // A file that is not a database is kept aside under a name of its own,
    // a new database is started, and the user is told once.
    void aDamagedDatabaseIsKeptAsideAndANewOneStarted()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("progress.sqlite"));
        QByteArray junk = QByteArray("SQLite format 3") + '\0';
        QRandomGenerator rng(7);
        for (int i = 0; i < 8192; ++i)
            junk.append(char(rng.bounded(256)));
        QFile f(db);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(junk) == junk.size());
        f.close();

        ProgressStore store(db);
        QVERIFY(store.saving());
        QVERIFY(store.takeNotice().contains(QStringLiteral("damaged")));
        QVERIFY(store.takeNotice().isEmpty());
        const QStringList aside =
            QDir(dir.path()).entryList({QStringLiteral("progress.sqlite.damaged-*")}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QFile kept(dir.filePath(aside.front()));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), junk);
        QVERIFY(store.record(1, 42, CardState{2, 100}, true, at(98, 10)));
        QCOMPARE(store.states({42}).front(), (CardState{2, 100}));
    }

    // Another program holding the database for writing: the answer waits,
    // is not saved, the store stops saving and says so once; the round's
    // own memory of the answer stays.
    void aLockedDatabaseLetsTheRoundGoOnUnsaved()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("progress.sqlite"));
        ProgressStore store(db);
        QVERIFY(store.saving());
        QCOMPARE(store.states({7}).front(), CardState{});
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            other.setDatabaseName(db);
            QVERIFY(other.open());
            QSqlQuery hold(other);
            QVERIFY(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            QVERIFY(!store.record(1, 7, CardState{1, 50}, false, at(49, 10)));
            QVERIFY(!store.saving());
            QVERIFY(store.takeNotice().contains(QStringLiteral("in use")));
            QVERIFY(!store.record(1, 8, CardState{1, 50}, false, at(49, 10)));
            QVERIFY(store.takeNotice().isEmpty());
            QVERIFY(hold.exec(QStringLiteral("ROLLBACK")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        QCOMPARE(store.states({7}).front(), (CardState{1, 50}));
        ProgressStore again(db);
        QCOMPARE(again.states({7}).front(), CardState{});
    }

    // A card is known by its text: shuffling the view, moving a card to
    // another category and another file with the same cards keep what was
    // learnt; an edited card starts afresh. Marks leave cards out.
    void progressFollowsTheTextNotThePlace()
    {
        QTemporaryDir dir;
        ProgressStore store(dir.filePath(QStringLiteral("progress.sqlite")));
        mdk::Deck deck = mdk::testsupport::mainDeck(12);
        deck.addCategory(deck.tree().root(), QStringLiteral("Later"));
        std::vector<Candidate> before = viewCandidates(deck, store);
        Round round(buildRound(before, 100, {}));
        while (!round.finished())
            answerCard(round, round.position() % 3 != 0, store, 1, at(100, 12));
        auto stateOf = [&](const mdk::Deck &d, const QString &side1) {
            for (const Candidate &c : viewCandidates(d, store))
                if (c.key == cardKey(side1, QStringLiteral("a") + side1.mid(1)))
                    return c.state;
            return CardState{-1, -1};
        };
        std::map<QString, CardState> learnt;
        for (int k = 0; k < deck.viewCount(); ++k)
            learnt[deck.viewSide1(k)] = viewCandidates(deck, store)[size_t(k)].state;
        QCOMPARE(learnt[QStringLiteral("q1")].box, 1);
        QCOMPARE(learnt[QStringLiteral("q2")].box, 2);

        std::vector<int> order(12);
        for (int k = 0; k < 12; ++k)
            order[size_t(k)] = (k * 5) % 12;
        QVERIFY(deck.permuteView(order));
        QVERIFY(deck.moveViewCard(3, QStringLiteral("Later")));
        QVERIFY(deck.replaceViewCard(0, QStringLiteral("q1"), QStringLiteral("changed")));
        for (const auto &[side1, state] : learnt)
            if (side1 != QStringLiteral("q1") && side1 != deck.fileSide1(deck.fileCount() - 1))
                QCOMPARE(stateOf(deck, side1), state);
        mdk::Deck later = deck;
        later.LoadView(QStringLiteral("Later"));
        QCOMPARE(viewCandidates(later, store).front().state, learnt[later.viewSide1(0)]);
        QCOMPARE(viewCandidates(deck, store).front().state, CardState{}); // edited: new
        QVERIFY(deck.addMark(1));
        QVERIFY(viewCandidates(deck, store)[1].marked);
        QCOMPARE(viewKeys(deck).size(), size_t(deck.viewCount() - 1));
    }

    // A data folder that cannot be made: the round works on what it
    // learns, nothing is written, and the user is told once.
    void aFolderThatCannotBeWrittenSavesNothingAndSaysSoOnce()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("data")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ProgressStore store(dir.filePath(QStringLiteral("data/mnemodeck/progress.sqlite")));
        QVERIFY(!store.saving());
        QVERIFY(store.takeNotice().contains(QStringLiteral("cannot be written")));
        QCOMPARE(store.states({5}).front(), CardState{});
        QVERIFY(!store.record(store.deckId(QStringLiteral("/x.mdk")), 5, CardState{2, 9}, true, at(7, 8)));
        QCOMPARE(store.states({5}).front(), (CardState{2, 9}));
        QVERIFY(store.takeNotice().isEmpty());
        QVERIFY(!QFileInfo(dir.filePath(QStringLiteral("data"))).isDir());
    }

    // A card file renamed: re-attaching its deck to the new path takes the
    // reviews along, also when the new path had become a deck of its own.
    void reattachingADeckTakesItsReviewsAlong()
    {
        QTemporaryDir dir;
        ProgressStore store(dir.filePath(QStringLiteral("progress.sqlite")));
        const QString oldPath = dir.filePath(QStringLiteral("old.mdk")), newPath = dir.filePath(QStringLiteral("new.mdk"));
        const qint64 was = store.deckId(oldPath), is = store.deckId(newPath);
        QVERIFY(was > 0 && is > 0 && was != is);
        QVERIFY(store.record(was, 1, CardState{2, 12}, true, at(10, 9)));
        QVERIFY(store.record(is, 2, CardState{1, 11}, false, at(10, 9)));
        QVERIFY(store.reattach(was, newPath));
        const std::vector<ProgressStore::DeckEntry> decks = store.decks();
        QCOMPARE(decks.size(), size_t(1));
        QCOMPARE(decks.front().id, was);
        QCOMPARE(decks.front().path, deckPath(newPath));
        QCOMPARE(store.deckId(newPath), was);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("look"));
        db.setDatabaseName(store.path());
        QVERIFY(db.open());
        {
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM reviews WHERE deck = %1").arg(was)) && q.next());
            QCOMPARE(q.value(0).toInt(), 2);
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("look"));
    }
};

QTEST_GUILESS_MAIN(TestReview)
#include "test_review.moc"
