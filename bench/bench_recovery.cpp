// The recovery copy of a 1,000,000-card deck read from a generated file:
// the part that blocks the window (one slice of the snapshot: copying
// shared texts), the whole snapshot, and the whole write the worker thread
// does (build the deck Save would write, encode, write through the safe
// writer, metadata).

#include "core/deck/cardfile.h"
#include "core/deck/deck.h"
#include "core/deck/recovery.h"
#include "generator.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kCards = 1'000'000;
// A slice of 100,000 cards: the window copies in slices of about 4 ms
// (RecoveryController::kSliceMs), so this shows the cost per card.
constexpr int kSliceCards = 100'000;

struct Loaded {
    QTemporaryDir dir;
    mdk::Deck deck;
    bool ok = false;
    Loaded()
    {
        mdk::generator::Settings settings;
        settings.cards = kCards;
        const QString path = dir.filePath(QStringLiteral("deck.mdk"));
        ok = mdk::generator::writeFile(settings, path).ok && mdk::cardfile::read(path, deck).opened;
        // An unsaved change, as when a copy is due.
        ok = ok && deck.appendViewCard(QStringLiteral("new"), QStringLiteral("card"));
    }
};

Loaded &loaded()
{
    static Loaded once;
    return once;
}

// What the window's thread does: one slice of the snapshot, the longest
// the window waits, and the whole snapshot in slices for comparison.
void snapshotSlice(benchmark::State &state)
{
    if (!loaded().ok) {
        state.SkipWithError("the generated deck did not load");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto snapshot = std::make_unique<mdk::recovery::Snapshot>(loaded().deck);
        state.ResumeTiming();
        snapshot->gather(loaded().deck, kSliceCards);
        benchmark::DoNotOptimize(snapshot->cardCount());
        state.PauseTiming();
        snapshot.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kSliceCards);
}

void snapshotWhole(benchmark::State &state)
{
    if (!loaded().ok) {
        state.SkipWithError("the generated deck did not load");
        return;
    }
    for (auto _ : state) {
        auto snapshot = std::make_unique<mdk::recovery::Snapshot>(loaded().deck);
        while (!snapshot->gather(loaded().deck, kSliceCards)) {
        }
        benchmark::DoNotOptimize(snapshot->cardCount());
        state.PauseTiming();
        snapshot.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kCards);
}

// The worker's part: from the gathered snapshot to both files on disk.
void wholeWrite(benchmark::State &state)
{
    if (!loaded().ok) {
        state.SkipWithError("the generated deck did not load");
        return;
    }
    mdk::recovery::Snapshot snapshot(loaded().deck);
    while (!snapshot.gather(loaded().deck, kSliceCards)) {
    }
    const QString folder = loaded().dir.filePath(QStringLiteral("recovery"));
    mdk::recovery::Meta meta;
    meta.time = QDateTime::currentDateTime();
    meta.writer = mdk::recovery::thisProcess();
    for (auto _ : state) {
        const mdk::WriteResult result = mdk::recovery::writeCopy(snapshot, meta, folder, QStringLiteral("b"));
        if (!result.ok) {
            state.SkipWithError(qPrintable(result.error));
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kCards);
}

} // namespace

BENCHMARK(snapshotSlice)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(snapshotWhole)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(wholeWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK_MAIN();
