// The review rules on numbers: the Leitner boxes and the round's choice of
// cards against a plain model over many simulated days, and the progress
// database when it is damaged or held by another program.

#include "core/review/cardkey.h"
#include "core/review/progressstore.h"
#include "core/review/round.h"
#include "core/review/session.h"
#include "core/review/statistics.h"
#include "support/deckbuilder.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <functional>
#include <array>

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

int inChild(const std::function<int()> &body)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// Fills a store's tables directly, in one transaction: what long use leaves.
bool fill(const QString &path, int cards, qint64 day)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        QSqlQuery q(db);
        ok = db.open() && q.exec(QStringLiteral("BEGIN"));
        q.prepare(QStringLiteral("INSERT INTO progress(card, box, due) VALUES(?, ?, ?)"));
        for (int k = 0; k < cards && ok; ++k) {
            q.bindValue(0, qint64(k) * 7919 + 1);
            q.bindValue(1, 1 + k % 5);
            q.bindValue(2, day + k % 9);
            ok = q.exec();
        }
        ok = ok && q.exec(QStringLiteral("COMMIT"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
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

    // Two programs answer on one database: each answer starts from the
    // state the other left, and each store, asked again, knows both.
    void twoStoresOnOneDatabaseKeepEveryAnswer()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("progress.sqlite"));
        ProgressStore window(db), tool(db);
        QVERIFY(window.saving() && tool.saving());
        QCOMPARE(window.states({11, 12, 13}), std::vector<CardState>(3)); // both read before any answer
        QCOMPARE(tool.states({11}).front(), CardState{});
        std::map<qint64, ModelCard> model;
        QRandomGenerator rng(2929);
        qint64 day = 1000;
        int answers = 0;
        for (int i = 0; i < 300; ++i) {
            ProgressStore &by = rng.bounded(2) ? window : tool;
            const qint64 key = 11 + rng.bounded(5);
            const bool knew = rng.bounded(4) != 0;
            day += rng.bounded(3);
            ModelCard &m = model[key];
            m.box = knew ? std::min(std::max(m.box, 1) + 1, 5) : 1;
            m.due = day + (qint64(1) << (m.box - 1));
            const Answer a = by.answer(1, key, knew, at(day, 10), day);
            QCOMPARE(a.after, (CardState{m.box, m.due}));
            QVERIFY(a.review > 0);
            ++answers;
            if (rng.bounded(5) == 0) {
                ProgressStore &other = &by == &window ? tool : window;
                QCOMPARE(other.states({key}).front(), (CardState{m.box, m.due}));
            }
        }
        for (ProgressStore *s : {&window, &tool}) {
            for (const auto &[key, m] : model)
                QCOMPARE(s->states({key}).front(), (CardState{m.box, m.due}));
            QCOMPARE(int(s->recentReviews().size()), answers);
        }
        // An answer taken back in one is gone from the other too, unless
        // it answered the card since.
        const Answer last = window.answer(1, 11, true, at(day, 11), day);
        QVERIFY(window.takeBack(11, last));
        QCOMPARE(tool.states({11}).front(), last.before);
        QCOMPARE(int(tool.recentReviews().size()), answers);
        const Answer mine = window.answer(1, 12, false, at(day, 12), day);
        tool.answer(1, 12, true, at(day, 13), day);
        QVERIFY(!window.takeBack(12, mine));
        QCOMPARE(window.states({12}).front().box, 2);
    }

    // Pages broken past the first ones: the store opens, and only reading
    // it finds the damage. It is then kept aside, a new one is started and
    // the user is told once, after the read; nothing counts as learnt.
    void damageFoundOnlyByReadingIsKeptAside()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("progress.sqlite"));
        { ProgressStore create(db); }
        QVERIFY(fill(db, 4000, 500));
        QFile file(db);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const qint64 size = file.size();
        QVERIFY(size > 16 * 4096);
        QVERIFY(file.seek(size - 2 * 4096));
        QByteArray junk(2 * 4096, '\0');
        QRandomGenerator rng(11);
        for (char &c : junk)
            c = char(rng.bounded(256));
        QVERIFY(file.write(junk) == junk.size());
        file.close();

        ProgressStore store(db);
        QVERIFY(store.takeNotice().isEmpty()); // the header and the first pages are sound
        QVERIFY(store.recentReviews().empty()); // the whole first read
        QCOMPARE(store.states({1, 7920}), std::vector<CardState>(2));
        QVERIFY(store.readable());
        QVERIFY(store.saving());
        const QString notice = store.takeNotice();
        QVERIFY2(notice.contains(QStringLiteral("kept as progress.sqlite.damaged-")), qPrintable(notice));
        QVERIFY(store.takeNotice().isEmpty());
        QStringList aside = QDir(dir.path()).entryList({QStringLiteral("progress.sqlite.damaged-*")}, QDir::Files);
        aside.removeIf([](const QString &name) { return name.endsWith(QLatin1String("-wal")) || name.endsWith(QLatin1String("-shm")); });
        QCOMPARE(aside.size(), 1);
        QVERIFY(store.record(1, 42, CardState{2, 100}, true, at(98, 10)));
        ProgressStore again(db);
        QCOMPARE(again.states({42, 1}), (std::vector<CardState>{CardState{2, 100}, CardState{}}));
        QVERIFY(again.takeNotice().isEmpty());
    }

    // A store that cannot be written (a read-only data folder): its
    // progress counts, answers are computed but not kept, the user is
    // told once. Root may write anywhere, so the child becomes a user.
    void aReadOnlyStoreIsReadAndNotWritten()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("progress.sqlite"));
        {
            ProgressStore create(db);
            QVERIFY(create.record(1, 5, CardState{3, 700}, true, at(696, 9)));
        }
        const QByteArray folder = QFile::encodeName(dir.path()), name = QFile::encodeName(db);
        const int result = inChild([&] {
            const uid_t user = ::geteuid() == 0 ? 12345 : ::geteuid();
            if (::chown(folder.constData(), user, user) != 0 || ::chown(name.constData(), user, user) != 0
                || ::chmod(name.constData(), 0444) != 0 || ::chmod(folder.constData(), 0555) != 0
                || ::setresgid(user, user, user) != 0 || ::setresuid(user, user, user) != 0)
                return 10;
            ProgressStore store(db);
            if (store.saving() || !store.readOnly())
                return 11;
            if (!(store.states({5, 6}) == std::vector<CardState>{CardState{3, 700}, CardState{}}) || !store.readable())
                return 12;
            if (!store.takeNotice().contains(QStringLiteral("cannot be written")) || !store.takeNotice().isEmpty())
                return 13;
            const Answer a = store.answer(1, 5, true, at(700, 9), 700);
            if (!(a.after == CardState{4, 708}) || a.review != 0 || !store.takeNotice().isEmpty())
                return 14;
            return 0;
        });
        QVERIFY(::chmod(folder.constData(), 0755) == 0);
        QVERIFY(::chown(name.constData(), ::geteuid(), ::getegid()) == 0);
        QCOMPARE(result, 0);
        ProgressStore after(db);
        QCOMPARE(after.states({5}).front(), (CardState{3, 700})); // nothing was written
    }

    // The numbers at their edges, against counts made the plain way: every
    // card and review on days around today, including overdue cards, the
    // week boundaries and answers "in the future" (a clock set back).
    void statisticsAtTheirEdges()
    {
        QTemporaryDir dir;
        ProgressStore store(dir.filePath(QStringLiteral("progress.sqlite")));
        const qint64 today = QDate(2026, 5, 20).toJulianDay();
        QRandomGenerator rng(3030);
        std::vector<qint64> keys;
        std::vector<CardState> cards;
        for (qint64 key = 1; key <= 200; ++key) {
            keys.push_back(key);
            if (key % 7 == 0) { // never reviewed
                cards.push_back(CardState{});
                continue;
            }
            const CardState c{1 + rng.bounded(5), today - 12 + rng.bounded(50)};
            cards.push_back(c);
            // The card's state is its last review's.
            QVERIFY(store.record(1, key, c, true, at(today - 80, 9)));
        }
        struct R { qint64 key, day; bool knew; };
        std::vector<R> reviews;
        for (int i = 0; i < 600; ++i) {
            const R r{1 + rng.bounded(200), today - 70 + rng.bounded(73), rng.bounded(3) != 0};
            reviews.push_back(r);
            QVERIFY(store.record(2, r.key, cards[size_t(r.key - 1)], r.knew, at(r.day, 12)));
            QVERIFY(store.record(1, 500 + r.key, CardState{1, today}, true, at(r.day, 12))); // not asked for
        }
        keys.push_back(3); // a text twice counts once

        const Statistics s = statisticsOf(store, keys, today);
        int fresh = 0, dueToday = 0, tomorrow = 0, week = 0;
        std::array<int, kBoxes> boxes{};
        std::array<int, kForecastDays> forecast{};
        for (const CardState &c : cards) {
            if (c.box == 0) {
                ++fresh;
                continue;
            }
            ++boxes[size_t(c.box - 1)];
            if (c.dueDay <= today)
                ++dueToday, ++forecast[0];
            if (c.dueDay == today + 1)
                ++tomorrow;
            if (c.dueDay <= today + 6)
                ++week;
            for (int d = 1; d < kForecastDays; ++d)
                forecast[size_t(d)] += c.dueDay == today + d;
        }
        QCOMPARE(s.newCards, fresh);
        QCOMPARE(s.boxes, boxes);
        QCOMPARE(s.dueToday, dueToday);
        QCOMPARE(s.dueTomorrow, tomorrow);
        QCOMPARE(s.dueThisWeek, week);
        QCOMPARE(s.forecast, forecast);
        std::array<int, kDaysShown> perDay{};
        int last30 = 0;
        for (int i = 0; i < kDaysShown; ++i)
            for (const R &r : reviews)
                if (r.day == today - (kDaysShown - 1) + i)
                    ++perDay[size_t(i)], ++last30;
        QCOMPARE(s.reviewsPerDay, perDay);
        QCOMPARE(s.reviewed30Days, last30);
        // Week w (0 the oldest) holds the days from its first to 6 days on;
        // the last one ends today.
        for (int w = 0; w < kWeeksShown; ++w) {
            const qint64 first = today - 7 * qint64(kWeeksShown - w) + 1;
            int answers = 0, known = 0;
            for (const R &r : reviews)
                if (r.day >= first && r.day <= first + 6)
                    ++answers, known += r.knew;
            QCOMPARE(s.weekAnswers[size_t(w)], answers);
            QCOMPARE(s.weekKnown[size_t(w)], known);
        }
        // The edges by name: overdue is due today; a week ago today is last week.
        ProgressStore edge(dir.filePath(QStringLiteral("edge.sqlite")));
        QVERIFY(edge.record(1, 1, CardState{2, today - 30}, true, at(today - 7, 23)));
        QVERIFY(edge.record(1, 2, CardState{1, today + 7}, false, at(today - 6, 0)));
        const Statistics e = statisticsOf(edge, {1, 2}, today);
        QCOMPARE(e.dueToday, 1);
        QCOMPARE(e.dueThisWeek, 1);
        QCOMPARE(e.forecast[0], 1);
        QCOMPARE(e.weekAnswers[kWeeksShown - 1], 1);
        QCOMPARE(e.weekAnswers[kWeeksShown - 2], 1);
    }

    // The review day starts at the hour chosen: a late answer counts for
    // the evening's day, and a round after a long break is of the size set.
    void theDayStartsAtTheHourChosenAndRoundsStayFinite()
    {
        const QDate d(2026, 7, 1);
        QCOMPARE(dayOf(QDateTime(d, QTime(3, 59)), 4), d.toJulianDay() - 1);
        QCOMPARE(dayOf(QDateTime(d, QTime(4, 0)), 4), d.toJulianDay());
        QCOMPARE(dayOf(QDateTime(d, QTime(0, 30)), 0), d.toJulianDay());
        std::vector<Candidate> candidates;
        for (int k = 0; k < 1000; ++k)
            candidates.push_back(Candidate{k + 1, CardState{1, 100 + (k * 37) % 50}, false});
        candidates.push_back(Candidate{5000, CardState{}, false});
        RoundRules rules;
        rules.maxDue = 30;
        const std::vector<RoundCard> round = buildRound(candidates, 200, rules);
        QCOMPARE(round.size(), size_t(31));
        for (size_t i = 1; i < 30; ++i) // the longest due first
            QVERIFY(round[i - 1].state.dueDay <= round[i].state.dueDay);
        QCOMPARE(round[19].state.dueDay, qint64(100)); // the 20 due on day 100, then 10 of day 101
        QCOMPARE(round[29].state.dueDay, qint64(101));
        QCOMPARE(round.back().key, qint64(5000));
    }

    // A store an earlier version wrote (cards under the side-1-first key):
    // the first round over the deck takes each card's progress and reviews
    // over under the key that survives Flip; a new store has no such cards.
    void progressOfAnEarlierVersionIsTakenOver()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("progress.sqlite"));
        const qint64 old1 = legacyCardKey(QStringLiteral("q1"), QStringLiteral("a1"));
        const qint64 old3 = legacyCardKey(QStringLiteral("q3"), QStringLiteral("a3"));
        {
            QSqlDatabase earlier = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("earlier"));
            earlier.setDatabaseName(db);
            QVERIFY(earlier.open());
            QSqlQuery q(earlier);
            for (const QString &sql :
                 {QStringLiteral("CREATE TABLE decks(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE)"),
                  QStringLiteral("CREATE TABLE progress(card INTEGER PRIMARY KEY, box INTEGER NOT NULL, due INTEGER NOT NULL)"),
                  QStringLiteral("CREATE TABLE reviews(id INTEGER PRIMARY KEY, deck INTEGER NOT NULL, card INTEGER NOT NULL,"
                                 " day INTEGER NOT NULL, at INTEGER NOT NULL, knew INTEGER NOT NULL, box INTEGER NOT NULL)"),
                  QStringLiteral("INSERT INTO progress VALUES(%1, 3, 120)").arg(old1),
                  QStringLiteral("INSERT INTO progress VALUES(%1, 1, 101)").arg(old3),
                  QStringLiteral("INSERT INTO reviews(deck, card, day, at, knew, box) VALUES(1, %1, 100, 0, 1, 3)").arg(old1)})
                QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
            earlier.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("earlier"));

        ProgressStore store(db);
        QVERIFY(store.saving() && store.hasLegacyKeys());
        const mdk::Deck deck = mdk::testsupport::mainDeck(4);
        const std::vector<Candidate> seen = viewCandidates(deck, store);
        QCOMPARE(seen[0].state, (CardState{3, 120}));
        QCOMPARE(seen[1].state, CardState{});
        QCOMPARE(seen[2].state, (CardState{1, 101}));
        ProgressStore again(db);
        QCOMPARE(again.states({cardKey(QStringLiteral("a1"), QStringLiteral("q1")), cardKey(QStringLiteral("q3"), QStringLiteral("a3"))}),
                 (std::vector<CardState>{CardState{3, 120}, CardState{1, 101}}));
        const Statistics s = statisticsOf(again, {cardKey(QStringLiteral("q1"), QStringLiteral("a1"))}, 100);
        QCOMPARE(s.weekAnswers[kWeeksShown - 1], 1); // its review came along
        ProgressStore fresh(dir.filePath(QStringLiteral("new.sqlite")));
        QVERIFY(!fresh.hasLegacyKeys());
    }

    // Something that is not a file where the store should be (a FIFO, a
    // folder): nothing waits for it, nothing counts as new, the user is told.
    void aStoreThatIsNoFileIsNeitherReadNorWaitedFor()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("progress.sqlite"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        ProgressStore store(fifo);
        QVERIFY(!store.saving());
        QVERIFY(!store.readable());
        QVERIFY(store.takeNotice().contains(QStringLiteral("cannot be opened")));
        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("folder"))));
        ProgressStore folder(dir.filePath(QStringLiteral("folder")));
        QVERIFY(!folder.saving() && !folder.readable());
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
