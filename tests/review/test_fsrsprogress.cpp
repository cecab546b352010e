// The memory model in the review progress: the conversion of an earlier
// version's store, a settings change rescheduling every card, answers taken
// back, and learning steps coming back in a round. Every expected state is
// the model replayed over the log the test itself kept (the model is checked
// against the reference's vectors in test_fsrs).

#include "core/review/cardkey.h"
#include "core/review/progressstore.h"
#include "core/review/round.h"
#include "core/review/session.h"
#include "core/review/statistics.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <numeric>
#include <vector>

using namespace mdk::review;

namespace {

QDateTime at(qint64 day, int hour, int minute = 0)
{
    return QDateTime(QDate::fromJulianDay(day), QTime(hour, minute));
}

bool run(sqlite3 *db, const QByteArray &sql)
{
    return sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

qint64 count(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    qint64 n = -1;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *q = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &q, nullptr) == SQLITE_OK && sqlite3_step(q) == SQLITE_ROW)
            n = sqlite3_column_int64(q, 0);
        sqlite3_finalize(q);
    }
    sqlite3_close(db);
    return n;
}

fsrs::Card replayed(const fsrs::Settings &settings, const std::vector<fsrs::Review> &log, qint64 key)
{
    return fsrs::replay(fsrs::Scheduler(settings), log, quint64(key));
}

// The memory's due day as rounds count it.
qint64 dueDay(const fsrs::Card &c)
{
    if (c.state == fsrs::State::New)
        return 0;
    return c.state == fsrs::State::Review ? c.lastReviewDay + c.scheduledDays
                                          : dayOf(QDateTime::fromMSecsSinceEpoch(c.due), 0);
}

} // namespace

class TestFsrsProgress : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A store of the previous version (boxes, two-button reviews): opened,
    // it is kept aside once as it was, every review gets its grade, and
    // every card's memory is its converted log replayed; a second opening
    // converts nothing again and leaves the kept file alone.
    void leitnerHistoryIsConverted()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("progress.sqlite"));
        std::map<qint64, std::vector<fsrs::LeitnerAnswer>> history;
        {
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
            QVERIFY(run(db, "CREATE TABLE decks(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE)"));
            QVERIFY(run(db, "CREATE TABLE progress(card INTEGER PRIMARY KEY, box INTEGER NOT NULL, due INTEGER NOT NULL)"));
            QVERIFY(run(db, "CREATE TABLE reviews(id INTEGER PRIMARY KEY, deck INTEGER NOT NULL, card INTEGER NOT NULL,"
                            " day INTEGER NOT NULL, at INTEGER NOT NULL, knew INTEGER NOT NULL, box INTEGER NOT NULL)"));
            QVERIFY(run(db, "PRAGMA user_version = 2"));
            QVERIFY(run(db, "BEGIN"));
            QRandomGenerator random(29);
            // Answers inserted out of time order: the log is sorted by time.
            for (qint64 key = 1; key <= 300; ++key) {
                CardState box;
                qint64 day = 2460000 + random.bounded(30);
                const int answers = random.bounded(1, 12);
                std::vector<fsrs::LeitnerAnswer> log;
                for (int a = 0; a < answers; ++a) {
                    const bool knew = random.bounded(4) != 0;
                    const QDateTime when = at(day, 8 + a, random.bounded(60)); // later each time
                    box = answer(box, knew, day);
                    log.push_back({when.toMSecsSinceEpoch(), day, knew});
                    day += random.bounded(0, 9); // same-day answers too
                }
                for (size_t a = log.size(); a-- > 0;)
                    QVERIFY(run(db, QByteArray("INSERT INTO reviews(deck, card, day, at, knew, box) VALUES(1, ")
                                        + QByteArray::number(key) + ", " + QByteArray::number(log[a].day) + ", "
                                        + QByteArray::number(log[a].at) + ", " + (log[a].knew ? "1" : "0") + ", 1)"));
                QVERIFY(run(db, "INSERT INTO progress VALUES(" + QByteArray::number(key) + ", "
                                    + QByteArray::number(box.box) + ", " + QByteArray::number(box.dueDay) + ")"));
                history[key] = log;
            }
            QVERIFY(run(db, "COMMIT"));
            sqlite3_close(db);
        }
        const QString aside = path + QStringLiteral(".before-4.31");
        {
            ProgressStore store(path);
            QVERIFY(store.saving());
            QVERIFY(QFileInfo::exists(aside));
            std::vector<qint64> keys;
            for (const auto &[key, log] : history)
                keys.push_back(key);
            const std::vector<fsrs::Card> memory = store.memory(keys);
            const std::vector<CardState> boxes = store.states(keys);
            store.setScheduling(SchedulerKind::Fsrs, 0);
            const std::vector<CardState> due = store.states(keys);
            for (size_t k = 0; k < keys.size(); ++k) {
                const fsrs::Card expected = replayed(fsrs::Settings{}, fsrs::fromLeitner(history[keys[k]]), keys[k]);
                QCOMPARE(memory[k], expected);
                QCOMPARE(memory[k].reps, int(history[keys[k]].size()));
                // The boxes stay as they were, for those who keep them.
                CardState leitner;
                for (const fsrs::LeitnerAnswer &a : history[keys[k]])
                    leitner = answer(leitner, a.knew, a.day);
                QCOMPARE(boxes[k], leitner);
                QCOMPARE(due[k], (CardState{int(expected.state), dueDay(expected)}));
            }
            const std::vector<fsrs::Card> none = store.memory({123456789});
            QCOMPARE(none.front().state, fsrs::State::New);
            // Answering the converted store changes nothing kept aside.
            store.answer(1, 1, fsrs::Grade::Hard, at(2460100, 9), 2460100);
        }
        // Knew = Good, did not = Again; the one Hard given since stays Hard.
        QCOMPARE(count(path, "SELECT count(*) FROM reviews WHERE grade <> CASE WHEN knew THEN 3 ELSE 1 END"), 1);
        QCOMPARE(count(path, "SELECT count(*) FROM reviews WHERE grade = 2"), 1);
        // The file kept aside is the old one: an older version reads it.
        QCOMPARE(count(aside, "SELECT count(*) FROM sqlite_master WHERE name = 'fsrs_settings'"), 0);
        QCOMPARE(count(aside, "SELECT count(*) FROM reviews"), count(path, "SELECT count(*) FROM reviews") - 1);
        QCOMPARE(count(aside, "SELECT count(*) FROM progress WHERE box > 0"), 300);
        const QDateTime keptAt = QFileInfo(aside).lastModified();
        {
            ProgressStore again(path);
            QVERIFY(again.saving());
            QCOMPARE(again.memory({1}).front().reps, int(history[1].size()) + 1);
        }
        QCOMPARE(QFileInfo(aside).lastModified(), keptAt);
        QCOMPARE(count(aside, "SELECT count(*) FROM sqlite_master WHERE name = 'fsrs_settings'"), 0);
    }

    // New parameters, retention and maximum: every card's memory is its log
    // replayed under them, in this store and in another one on the same
    // file; a cancelled change changes nothing.
    void settingsChangeReschedulesEveryCard()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("progress.sqlite"));
        ProgressStore store(path);
        ProgressStore other(path);
        store.setScheduling(SchedulerKind::Fsrs, 0);
        other.setScheduling(SchedulerKind::Fsrs, 0);
        std::map<qint64, std::vector<fsrs::Review>> logs;
        QRandomGenerator random(32);
        for (qint64 day = 2461000; day < 2461060; ++day)
            for (int n = 0; n < 40; ++n) {
                const qint64 key = 1 + random.bounded(120);
                const auto grade = fsrs::Grade(1 + random.bounded(4));
                const QDateTime when = at(day, 9 + n / 6, n % 60);
                store.answer(1, key, grade, when, day);
                logs[key].push_back({when.toMSecsSinceEpoch(), day, grade});
            }
        std::vector<qint64> keys;
        for (const auto &[key, log] : logs)
            keys.push_back(key);
        const std::vector<fsrs::Card> before = store.memory(keys);
        for (size_t k = 0; k < keys.size(); ++k)
            QCOMPARE(before[k], replayed(fsrs::Settings{}, logs[keys[k]], keys[k]));
        QVERIFY(other.states(keys) == store.states(keys));

        fsrs::Settings changed;
        changed.desiredRetention = 0.8;
        changed.maximumInterval = 20;
        for (size_t i = 0; i < changed.w.size(); ++i)
            changed.w[i] *= i % 2 ? 1.15 : 0.9;
        changed.w = fsrs::clampParameters(changed.w);
        // Cancelled half-way: nothing changes.
        QVERIFY(!store.reschedule(changed, [](double done) { return done < 0.5; }));
        QVERIFY(store.memory(keys) == before);
        std::vector<double> seen;
        QVERIFY(store.reschedule(changed, [&](double done) {
            seen.push_back(done);
            return true;
        }));
        QVERIFY(!seen.empty() && seen.back() == 1.0);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QCOMPARE(store.fsrsSettings().desiredRetention, 0.8);
        const std::vector<fsrs::Card> after = store.memory(keys);
        const std::vector<CardState> due = store.states(keys);
        int moved = 0;
        for (size_t k = 0; k < keys.size(); ++k) {
            const fsrs::Card expected = replayed(changed, logs[keys[k]], keys[k]);
            QCOMPARE(after[k], expected);
            QCOMPARE(due[k], (CardState{int(expected.state), dueDay(expected)}));
            moved += !(after[k] == before[k]);
        }
        QVERIFY2(moved == int(keys.size()), qPrintable(QString::number(moved)));
        // The other program sees the new schedule and the new settings.
        QVERIFY(other.states(keys) == due);
        QCOMPARE(other.fsrsSettings().desiredRetention, 0.8);
        // Answers after the change follow the new settings.
        const qint64 key = keys.front();
        store.answer(1, key, fsrs::Grade::Good, at(2461070, 9), 2461070);
        logs[key].push_back({at(2461070, 9).toMSecsSinceEpoch(), 2461070, fsrs::Grade::Good});
        QCOMPARE(store.memory({key}).front(), replayed(changed, logs[key], key));
    }

    // Random answers and take-backs: the stored memory is always the kept
    // log replayed, and a take-back of a card another program answered
    // since is refused.
    void answersTakenBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("progress.sqlite"));
        ProgressStore store(path);
        store.setScheduling(SchedulerKind::Fsrs, 4);
        std::map<qint64, std::vector<fsrs::Review>> logs;
        std::vector<std::pair<qint64, Answer>> done;
        QRandomGenerator random(7);
        qint64 day = 2462000;
        for (int step = 0; step < 600; ++step) {
            if (!done.empty() && random.bounded(3) == 0) {
                const auto [key, a] = done.back();
                done.pop_back();
                QVERIFY(store.takeBack(key, a));
                logs[key].pop_back();
            } else {
                const qint64 key = 1 + random.bounded(15);
                const auto grade = fsrs::Grade(1 + random.bounded(4));
                day += random.bounded(3);
                const QDateTime when = at(day, 10, step % 60);
                done.emplace_back(key, store.answer(1, key, grade, when, dayOf(when, 4)));
                QCOMPARE(done.back().second.grade, int(grade));
                logs[key].push_back({when.toMSecsSinceEpoch(), dayOf(when, 4), grade});
            }
            for (qint64 key = 1; key <= 15; ++key)
                QCOMPARE(store.memory({key}).front(), replayed(fsrs::Settings{}, logs[key], key));
        }
        qint64 reviews = 0;
        for (const auto &[key, log] : logs)
            reviews += qint64(log.size());
        QCOMPARE(count(path, "SELECT count(*) FROM reviews"), reviews);
        // Another program answered the card since: that answer stands.
        const Answer mine = store.answer(1, 99, fsrs::Grade::Easy, at(day, 11), day);
        {
            ProgressStore other(path);
            other.answer(1, 99, fsrs::Grade::Again, at(day, 12), day);
        }
        QVERIFY(!store.takeBack(99, mine));
        QCOMPARE(store.memory({99}).front().reps, 2);
    }

    // The true retention per week counts the answers to cards whose
    // previous answer was 21 days or more before, and those not Again,
    // against a plain count over the same random answers.
    void trueRetentionCountsMatureAnswers()
    {
        QTemporaryDir dir;
        ProgressStore store(dir.filePath(QStringLiteral("progress.sqlite")));
        store.setScheduling(SchedulerKind::Fsrs, 0);
        const qint64 today = 2464000;
        QRandomGenerator random(21);
        std::map<qint64, qint64> last;
        std::array<int, kWeeksShown> answers{}, recalled{};
        std::vector<qint64> keys;
        for (qint64 key = 1; key <= 40; ++key)
            keys.push_back(key);
        for (qint64 day = today - 120; day <= today + 2; day += 1 + random.bounded(3))
            for (int n = 0; n < 6; ++n) {
                const qint64 key = 1 + random.bounded(50); // 41..50 not asked for
                const auto grade = fsrs::Grade(1 + random.bounded(4));
                store.answer(1, key, grade, at(day, 9, n), day);
                const auto before = last.find(key);
                const qint64 age = today - day;
                if (key <= 40 && age >= 0 && age < 7 * kWeeksShown && before != last.end() && day - before->second >= 21) {
                    const size_t week = size_t(kWeeksShown - 1 - age / 7);
                    ++answers[week];
                    recalled[week] += grade != fsrs::Grade::Again;
                }
                last[key] = day;
            }
        const Statistics s = statisticsOf(store, keys, today);
        QVERIFY(s.byState);
        QVERIFY(s.matureAnswers == answers);
        QVERIFY(s.matureRecalled == recalled);
        QVERIFY(std::accumulate(answers.begin(), answers.end(), 0) > 5);
        // The boxes' statistics have none.
        store.setScheduling(SchedulerKind::Leitner, 0);
        const Statistics boxes = statisticsOf(store, keys, today);
        QVERIFY(!boxes.byState);
        QCOMPARE(std::accumulate(boxes.matureAnswers.begin(), boxes.matureAnswers.end(), 0), 0);
    }

    // A card answered Again (or Hard while learning) comes back at the
    // round's end; taking the answer back takes it out again. With the
    // boxes chosen, nothing comes back.
    void learningStepsComeBackInTheRound()
    {
        QTemporaryDir dir;
        ProgressStore store(dir.filePath(QStringLiteral("progress.sqlite")));
        store.setScheduling(SchedulerKind::Fsrs, 0);
        std::vector<Candidate> candidates;
        for (qint64 key = 1; key <= 3; ++key)
            candidates.push_back(Candidate{key, CardState{}, false});
        const qint64 today = 2463000;
        Round round(buildRound(candidates, today, RoundRules{}));
        QCOMPARE(round.count(), 3);
        answerCard(round, fsrs::Grade::Again, store, 1, at(today, 9), 0);
        QCOMPARE(round.count(), 4);
        answerCard(round, fsrs::Grade::Easy, store, 1, at(today, 9, 1), 0);
        QCOMPARE(round.count(), 4); // Easy on a new card: days away
        QVERIFY(takeBackAnswer(round, store));
        QVERIFY(takeBackAnswer(round, store));
        QCOMPARE(round.count(), 3);
        QCOMPARE(round.position(), 0);
        QCOMPARE(store.memory({1}).front().state, fsrs::State::New);
        answerCard(round, fsrs::Grade::Again, store, 1, at(today, 9), 0);
        answerCard(round, fsrs::Grade::Good, store, 1, at(today, 9, 1), 0);
        answerCard(round, fsrs::Grade::Good, store, 1, at(today, 9, 2), 0);
        QCOMPARE(round.count(), 6);
        QCOMPARE(round.current().key, 1);
        QCOMPARE(round.missed(), 1);
        QCOMPARE(round.known(), 2);
        // The card's step (1 min for Again) has passed: Again once more.
        answerCard(round, fsrs::Grade::Again, store, 1, at(today, 9, 5), 0);
        QCOMPARE(store.memory({1}).front().reps, 2);
        QCOMPARE(round.missed(), 2);
        // Missed twice, asked once in the repeat round.
        QCOMPARE(round.missedCards().size(), size_t(1));

        ProgressStore boxes(dir.filePath(QStringLiteral("boxes.sqlite")));
        Round leitner(buildRound(candidates, today, RoundRules{}));
        answerCard(leitner, fsrs::Grade::Again, boxes, 1, at(today, 9), 0);
        QCOMPARE(leitner.count(), 3);
        QCOMPARE(boxes.states({1}).front(), (CardState{1, today + 1}));
    }
};

QTEST_GUILESS_MAIN(TestFsrsProgress)
#include "test_fsrsprogress.moc"
