// Review rounds at 1,000,000 cards with 1,000,000 stored cards and
// 1,000,000 stored reviews: starting a round (the database opened and its
// cards read, every view card's key and state, the choice of cards),
// starting the next round with the store already read, recording one answer
// (one transaction that reads the stored state first), the statistics of
// the view and of all decks, what mdktool stats does after reading its card
// file, and reading again what another program answered.
// Run: build-bench/bin/bench_review (tools/bench.sh builds it).

#include "core/deck/deck.h"
#include "core/review/cardkey.h"
#include "core/review/progressstore.h"
#include "core/review/session.h"
#include "core/review/statistics.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

constexpr int kCards = 1'000'000;
constexpr int kReviews = 1'000'000;
const qint64 kToday = QDate(2026, 6, 1).toJulianDay();

struct Fixture {
    QTemporaryDir dir;
    QString path;
    mdk::Deck deck;
    bool ok = false;
    Fixture()
    {
        path = dir.filePath(QStringLiteral("progress.sqlite"));
        for (int k = 0; k < kCards; ++k)
            deck.appendViewCard(QStringLiteral("word %1 of the deck").arg(k), QStringLiteral("meaning %1").arg(k));
        { mdk::review::ProgressStore create(path); }
        // Filled in one transaction: what years of answers would leave.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        ok = db.open();
        {
            QSqlQuery q(db);
            std::mt19937_64 random(42);
            ok = ok && q.exec(QStringLiteral("BEGIN"));
            q.prepare(QStringLiteral("INSERT INTO progress(card, box, due) VALUES(?, ?, ?)"));
            for (int k = 0; k < kCards && ok; ++k) {
                q.bindValue(0, mdk::review::cardKey(deck.viewSide1(k), deck.viewSide2(k)));
                q.bindValue(1, int(1 + random() % 5));
                q.bindValue(2, kToday - 3 + qint64(random() % 40)); // about 1 in 10 due
                ok = q.exec();
            }
            q.prepare(QStringLiteral("INSERT INTO reviews(deck, card, day, at, knew, box) VALUES(1, ?, ?, 0, ?, 1)"));
            for (int r = 0; r < kReviews && ok; ++r) {
                const int k = int(random() % kCards);
                q.bindValue(0, mdk::review::cardKey(deck.viewSide1(k), deck.viewSide2(k)));
                q.bindValue(1, kToday - qint64(random() % 90));
                q.bindValue(2, int(random() % 3 != 0));
                ok = q.exec();
            }
            // Graded at ten in the morning of their day, as this version keeps them.
            ok = ok && q.exec(QStringLiteral("UPDATE reviews SET grade = CASE WHEN knew THEN 3 ELSE 1 END,"
                                             " at = (day - 2440588) * 86400000 + 36000000"));
            ok = ok && q.exec(QStringLiteral("COMMIT"));
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    }
};

Fixture &fixture()
{
    static Fixture once;
    return once;
}

QDateTime now()
{
    return QDateTime(QDate::fromJulianDay(kToday), QTime(10, 0));
}

// F5 at once after the program started: the database opened, every stored
// card read (on the store's reading thread, waited for here), the view's
// keys and states, the round chosen.
void startRoundCold(benchmark::State &state)
{
    Fixture &f = fixture();
    if (!f.ok) {
        state.SkipWithError("the progress database could not be filled");
        return;
    }
    for (auto _ : state) {
        auto store = std::make_unique<mdk::review::ProgressStore>(f.path);
        mdk::review::Round round(
            mdk::review::buildRound(mdk::review::viewCandidates(f.deck, *store), kToday, mdk::review::RoundRules{}));
        benchmark::DoNotOptimize(round.count());
        state.PauseTiming(); // closing the store is not part of the start
        store.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(startRoundCold)->Unit(benchmark::kMillisecond)->Iterations(3);

// F5 once the store has read the cards (it starts reading when the
// program starts), and every later F5.
void startRoundWarm(benchmark::State &state)
{
    Fixture &f = fixture();
    mdk::review::ProgressStore store(f.path);
    store.states({});
    for (auto _ : state) {
        mdk::review::Round round(
            mdk::review::buildRound(mdk::review::viewCandidates(f.deck, store), kToday, mdk::review::RoundRules{}));
        benchmark::DoNotOptimize(round.count());
    }
}
BENCHMARK(startRoundWarm)->Unit(benchmark::kMillisecond)->Iterations(5);

// "Knew it" on the window's thread: the round moves on and the answer is
// stored in one transaction.
void recordAnswer(benchmark::State &state)
{
    Fixture &f = fixture();
    mdk::review::ProgressStore store(f.path);
    std::unique_ptr<mdk::review::Round> round;
    for (auto _ : state) {
        if (!round || round->finished()) {
            state.PauseTiming();
            round = std::make_unique<mdk::review::Round>(
                mdk::review::buildRound(mdk::review::viewCandidates(f.deck, store), kToday, mdk::review::RoundRules{}));
            state.ResumeTiming();
        }
        mdk::review::answerCard(*round, true, store, 1, now());
    }
    if (!store.saving())
        state.SkipWithError("the answers were not saved");
}
BENCHMARK(recordAnswer)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// The statistics window's numbers, with the store open and read as the
// program keeps it: the view's cards, then all decks.
void statisticsOfView(benchmark::State &state)
{
    Fixture &f = fixture();
    mdk::review::ProgressStore store(f.path);
    store.states({});
    for (auto _ : state) {
        const std::vector<qint64> keys = mdk::review::viewKeys(f.deck);
        benchmark::DoNotOptimize(mdk::review::statisticsOf(store, keys, kToday).dueToday);
    }
}
BENCHMARK(statisticsOfView)->Unit(benchmark::kMillisecond)->Iterations(3);

// All decks: the open deck's cards as they are now, with every other
// deck's as last seen (here the same deck kept under a second file).
void statisticsOfAllDecks(benchmark::State &state)
{
    Fixture &f = fixture();
    mdk::review::ProgressStore store(f.path);
    store.states({});
    const QString file = f.dir.filePath(QStringLiteral("deck.mdk"));
    QFile(file).open(QIODevice::WriteOnly);
    store.setDeckCards(store.deckId(file), mdk::review::deckKeys(f.deck));
    for (auto _ : state) {
        std::vector<qint64> keys = mdk::review::deckKeys(f.deck);
        const std::vector<qint64> others = store.existingCards();
        keys.insert(keys.end(), others.begin(), others.end());
        benchmark::DoNotOptimize(mdk::review::statisticsOf(store, keys, kToday).dueToday);
    }
}
BENCHMARK(statisticsOfAllDecks)->Unit(benchmark::kMillisecond)->Iterations(3);

// mdktool stats after its card file is read: the store opened and read
// whole (cards, reviews and the check of every page), every card's key, the
// numbers, and the deck's cards kept for "All decks".
void toolStatsBeyondTheCardFile(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString file = f.dir.filePath(QStringLiteral("tool.mdk"));
    QFile(file).open(QIODevice::WriteOnly);
    for (auto _ : state) {
        auto store = std::make_unique<mdk::review::ProgressStore>(f.path);
        const std::vector<qint64> keys = mdk::review::deckKeys(f.deck);
        if (!store->readable()) {
            state.SkipWithError("the store could not be read");
            return;
        }
        benchmark::DoNotOptimize(mdk::review::statisticsOf(*store, keys, kToday).dueToday);
        store->setDeckCards(store->deckId(file), keys);
        state.PauseTiming(); // closing the store is not part of it
        store.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(toolStatsBeyondTheCardFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// Another program answered ten cards: the next F5 reads only those again.
void refreshAfterAnotherProgram(benchmark::State &state)
{
    Fixture &f = fixture();
    mdk::review::ProgressStore store(f.path), other(f.path);
    store.states({});
    other.states({});
    qint64 key = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 10; ++i, ++key)
            other.answer(1, mdk::review::cardKey(f.deck.viewSide1(int(key)), f.deck.viewSide2(int(key))), true, now(), kToday);
        state.ResumeTiming();
        store.refresh();
    }
}
BENCHMARK(refreshAfterAnotherProgram)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv); // the SQL driver is a plug-in
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

namespace {

// New settings for the memory model: every card's memory recomputed from
// its log and written (as the worker thread does it), with the store read.
void rescheduleEveryCard(benchmark::State &state)
{
    Fixture &f = fixture();
    mdk::review::ProgressStore store(f.path);
    store.states({});
    double retention = 0.9;
    for (auto _ : state) {
        mdk::review::fsrs::Settings settings = store.fsrsSettings();
        retention = retention == 0.9 ? 0.85 : 0.9;
        settings.desiredRetention = retention;
        if (!store.reschedule(settings, [](double) { return true; }))
            state.SkipWithError("the cards could not be rescheduled");
    }
}
BENCHMARK(rescheduleEveryCard)->Unit(benchmark::kMillisecond)->Iterations(2);

// A grade on the window's thread with the memory model chosen: both
// schedulers' states computed in the answer's transaction, the next card's
// four intervals previewed.
void gradeAnswer(benchmark::State &state)
{
    Fixture &f = fixture();
    mdk::review::ProgressStore store(f.path);
    store.setScheduling(mdk::review::SchedulerKind::Fsrs, 4);
    std::unique_ptr<mdk::review::Round> round;
    int n = 0;
    for (auto _ : state) {
        if (!round || round->finished()) {
            state.PauseTiming();
            round = std::make_unique<mdk::review::Round>(
                mdk::review::buildRound(mdk::review::viewCandidates(f.deck, store), kToday, mdk::review::RoundRules{}));
            state.ResumeTiming();
        }
        mdk::review::answerCard(*round, mdk::review::fsrs::Grade(1 + n++ % 4), store, 1, now(), 4);
        if (!round->finished())
            benchmark::DoNotOptimize(store.preview(round->current().key, now(), kToday));
    }
    if (!store.saving())
        state.SkipWithError("the answers were not saved");
}
BENCHMARK(gradeAnswer)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// F5 with the memory model chosen, the store opened and read first.
void startRoundFsrsCold(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        auto store = std::make_unique<mdk::review::ProgressStore>(f.path);
        store->setScheduling(mdk::review::SchedulerKind::Fsrs, 4);
        mdk::review::Round round(
            mdk::review::buildRound(mdk::review::viewCandidates(f.deck, *store), kToday, mdk::review::RoundRules{}));
        benchmark::DoNotOptimize(round.count());
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(startRoundFsrsCold)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
