// Moving cards between files: merging 100 MB of card files, Paste from
// against opening the same file, and copying one card into a 100 MB file;
// plus the peak memory of a merge, measured in a child process.

#include "benchsupport.h"
#include "core/deck/cardfile.h"
#include "core/deck/transfer.h"
#include "generator.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <vector>
#include <memory>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr qint64 kMergeBytes = 100'000'000; // 100 MB
constexpr int kCards = 1'000'000;

struct Files {
    QString deck;         // a generated file of kCards cards
    QStringList sources;  // copies of it listed until they reach kMergeBytes
    QString mergeTarget;
    QString big;          // a card file of at least kMergeBytes
    qint64 sourceBytes = 0;
};

Files files;

bool makeFiles(const QString &dir)
{
    mdk::generator::Settings settings;
    settings.cards = kCards;
    files.deck = dir + QStringLiteral("/deck.mdk");
    if (!mdk::generator::writeFile(settings, files.deck).ok)
        return false;
    const qint64 size = QFileInfo(files.deck).size();
    // Different files, so the merge reads every byte of each.
    for (int i = 0; files.sourceBytes < kMergeBytes; ++i) {
        const QString copy = dir + QStringLiteral("/source-%1.mdk").arg(i);
        if (!QFile::copy(files.deck, copy))
            return false;
        files.sources << copy;
        files.sourceBytes += size;
    }
    files.mergeTarget = dir + QStringLiteral("/merged.mdk");
    files.big = dir + QStringLiteral("/big.mdk");
    if (!mdk::transfer::mergeFiles(files.sources + QStringList{files.deck}, files.big).ok)
        return false;
    std::fprintf(stderr, "%d cards: %lld bytes; merging %lld files, %lld bytes; copy target %lld bytes\n", kCards,
                 size, qlonglong(files.sources.size()), files.sourceBytes, QFileInfo(files.big).size());
    return true;
}

void merge(benchmark::State &state)
{
    benchsupport::timed(
        state,
        [&] {
            if (!mdk::transfer::mergeFiles(files.sources, files.mergeTarget).ok)
                state.SkipWithError("the merge failed");
        },
        [] { QFile::remove(files.mergeTarget); });
    state.SetBytesProcessed(state.iterations() * files.sourceBytes);
}

// Opening the file and pasting it into a blank deck: the same bytes, the same
// cards.
void open(benchmark::State &state)
{
    std::unique_ptr<mdk::Deck> deck;
    benchsupport::timedRuns(
        state, [&] { benchmark::DoNotOptimize(mdk::cardfile::read(files.deck, *deck).report.cards); },
        [&] { deck = std::make_unique<mdk::Deck>(); }, [&] { deck.reset(); });
}

void pasteFrom(benchmark::State &state)
{
    std::unique_ptr<mdk::Deck> deck;
    benchsupport::timedRuns(
        state,
        [&] { benchmark::DoNotOptimize(mdk::transfer::insertFile(files.deck, *deck, QStringLiteral("Main")).cards); },
        [&] { deck = std::make_unique<mdk::Deck>(); }, [&] { deck.reset(); });
}

void copyToFile(benchmark::State &state)
{
    benchsupport::timed(
        state,
        [&] {
            if (!mdk::transfer::appendCard(files.big, QStringLiteral("copied side 1"), QStringLiteral("copied side 2"))
                     .ok)
                state.SkipWithError("the copy failed");
        },
        [] {});
}

// Peak resident memory of a merge in a fresh process (this program run
// again with --merge-child), against its input.
void mergePeakMemory(benchmark::State &state)
{
    for (auto _ : state) {
        QFile::remove(files.mergeTarget);
        std::vector<QByteArray> args{"bench_transfer", "--merge-child", QFile::encodeName(files.mergeTarget)};
        for (const QString &source : files.sources)
            args.push_back(QFile::encodeName(source));
        std::vector<char *> argv;
        for (QByteArray &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            execv("/proc/self/exe", argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("the merge failed");
    }
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    state.counters["peak_mb"] = double(usage.ru_maxrss) / 1024;
    state.counters["input_mb"] = double(files.sourceBytes) / (1 << 20);
    state.counters["peak_per_input"] = double(usage.ru_maxrss) * 1024 / double(files.sourceBytes);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "--merge-child") == 0) {
        QStringList sources;
        for (int i = 3; i < argc; ++i)
            sources << QFile::decodeName(argv[i]);
        return mdk::transfer::mergeFiles(sources, QFile::decodeName(argv[2])).ok ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid() || !makeFiles(dir.path())) {
        std::fprintf(stderr, "cannot make the benchmark files\n");
        return 1;
    }
    benchmark::RegisterBenchmark("merge_100mb", merge)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
    benchmark::RegisterBenchmark("open_1m", open)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
    benchmark::RegisterBenchmark("paste_from_1m", pasteFrom)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(5);
    benchmark::RegisterBenchmark("copy_to_100mb_file", copyToFile)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(50);
    benchmark::RegisterBenchmark("merge_peak_memory", mergePeakMemory)->Iterations(1);
    benchsupport::TargetReporter reporter({{"merge_100mb", 1000}, {"copy_to_100mb_file", 100}}, "transfer");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    std::printf("paste_from_1m should stay within 1.2 x open_1m; merge_peak_memory's peak_per_input within 2.5\n");
    benchmark::Shutdown();
    return 0;
}
