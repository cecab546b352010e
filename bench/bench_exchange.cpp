// Import and export at 1,000,000 cards: reading a CSV of 1,000,000 lines
// (about 50 MB) into a new deck, and writing 1,000,000 cards to each
// format; plus the peak memory of an import, measured in a child process.

#include "benchsupport.h"
#include "core/exchange/exchange.h"
#include "generator.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kLines = 1'000'000;

QString csvPath, outPath;
std::unique_ptr<mdk::Deck> bigDeck;

// A spreadsheet's CSV: a header, then side 1, side 2 and one of 100
// categories, some sides quoted with a comma or a line break inside.
bool makeCsv(const QString &path)
{
    mdk::generator::Rng rng(42);
    QByteArray out("Word,Meaning,Category\n");
    out.reserve(52 * kLines);
    auto word = [&](int length) {
        QByteArray w;
        for (int i = 0; i < length; ++i)
            w += char('a' + rng.below(26));
        return w;
    };
    for (int i = 0; i < kLines; ++i) {
        out += word(8 + int(rng.below(12)));
        out += ',';
        if (rng.oneIn(20))
            out += "\"" + word(8) + ", " + word(8) + "\"";
        else
            out += word(16 + int(rng.below(18)));
        out += ",Lesson " + QByteArray::number(rng.below(100)) + '\n';
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(out) == out.size();
}

void importCsv(benchmark::State &state)
{
    std::unique_ptr<mdk::Deck> deck;
    benchsupport::timedRuns(
        state,
        [&] {
            const mdk::exchange::ParsedImport parsed = mdk::exchange::parseFile(csvPath, {});
            benchmark::DoNotOptimize(
                mdk::exchange::applyImport(parsed, *deck, QStringLiteral("Main"), mdk::exchange::Duplicates::Add).added);
        },
        [&] { deck = std::make_unique<mdk::Deck>(); }, [&] { deck.reset(); });
    state.SetBytesProcessed(state.iterations() * QFileInfo(csvPath).size());
}

void exportTo(benchmark::State &state, mdk::exchange::ExportFormat format)
{
    // Made on first use: a child forked while it is resident would count
    // its pages as its own peak.
    if (!bigDeck) {
        bigDeck = std::make_unique<mdk::Deck>();
        mdk::generator::Settings settings;
        settings.cards = kLines;
        mdk::generator::fillDeck(*bigDeck, settings);
    }
    benchsupport::timed(
        state,
        [&] {
            const auto set = mdk::exchange::cardsToExport(*bigDeck, mdk::exchange::Scope::All);
            if (!mdk::exchange::exportFile(set, format, outPath).ok)
                state.SkipWithError("the export failed");
        },
        [] { QFile::remove(outPath); });
}

// Peak resident memory of reading and adding the CSV in a fresh process.
void importPeakMemory(benchmark::State &state)
{
    for (auto _ : state) {
        const QByteArray path = QFile::encodeName(csvPath);
        const pid_t pid = fork();
        if (pid == 0) {
            execl("/proc/self/exe", "bench_exchange", "--import-child", path.constData(), nullptr);
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("the import failed");
    }
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const double fileMb = double(QFileInfo(csvPath).size()) / (1 << 20);
    state.counters["peak_mb"] = double(usage.ru_maxrss) / 1024;
    state.counters["file_mb"] = fileMb;
    state.counters["limit_mb"] = 3 * fileMb + 60;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--import-child") == 0) {
        mdk::Deck deck;
        const auto parsed = mdk::exchange::parseFile(QFile::decodeName(argv[2]), {});
        return mdk::exchange::applyImport(parsed, deck, QStringLiteral("Main"), mdk::exchange::Duplicates::Add).added
                       == kLines
                   ? 0
                   : 1;
    }
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    csvPath = dir.path() + QStringLiteral("/cards.csv");
    outPath = dir.path() + QStringLiteral("/out");
    if (!dir.isValid() || !makeCsv(csvPath)) {
        std::fprintf(stderr, "cannot make the benchmark files\n");
        return 1;
    }
    std::fprintf(stderr, "CSV of %d lines: %lld bytes\n", kLines, QFileInfo(csvPath).size());

    using mdk::exchange::ExportFormat;
    // First, while this process holds little: the child's peak counts the
    // pages it shares with its parent until it starts again.
    benchmark::RegisterBenchmark("import_peak_memory", importPeakMemory)->Iterations(1);
    benchmark::RegisterBenchmark("import_csv_1m", importCsv)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
    benchmark::RegisterBenchmark("export_csv_1m", exportTo, ExportFormat::Csv)
        ->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
    benchmark::RegisterBenchmark("export_text_1m", exportTo, ExportFormat::Text)
        ->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
    benchmark::RegisterBenchmark("export_kvtml_1m", exportTo, ExportFormat::Kvtml)
        ->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
    benchsupport::TargetReporter reporter({{"import_csv_1m", 1500},
                                           {"export_csv_1m", 1000},
                                           {"export_text_1m", 1000},
                                           {"export_kvtml_1m", 1000}},
                                          "exchange");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    std::printf("import_peak_memory's peak_mb should stay within limit_mb (3 x the file + 60 MB); a forked\n"
                "child's peak counts pages it shares with its parent, so the figure that counts is the whole\n"
                "process of mdktool import under /usr/bin/time -v (tools/bench.sh)\n");
    benchmark::Shutdown();
    return 0;
}
