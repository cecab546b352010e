// Timings of the deck operations that grow with the number of cards: load,
// full-deck save, category switch and the subcategory view of "Main", on
// files made by the same generator as `mdktool generate`.

#include "core/deck/cardfile.h"
#include "core/deck/deck.h"
#include "generator.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kSizes[] = {10'000, 100'000, 1'000'000};

// The generated files, made once per run in a temporary folder.
class BenchFiles {
public:
    explicit BenchFiles(const QString &dir) : dir_(dir) {}

    bool make()
    {
        for (int cards : kSizes) {
            mdk::generator::Settings settings;
            settings.cards = cards;
            const QString path = cardFile(cards);
            const mdk::WriteResult result = mdk::generator::writeFile(settings, path);
            if (!result.ok) {
                std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(result.error));
                return false;
            }
            std::fprintf(stderr, "%d cards: %lld bytes\n", cards, QFileInfo(path).size());
        }
        return true;
    }

    QString cardFile(int cards) const { return dir_ + QStringLiteral("/deck-%1.mdk").arg(cards); }
    QString saveTarget(int cards) const { return dir_ + QStringLiteral("/saved-%1.mdk").arg(cards); }

    bool load(int cards, mdk::Deck &deck, benchmark::State &state) const
    {
        const mdk::cardfile::ReadResult result = mdk::cardfile::read(cardFile(cards), deck);
        if (!result.opened || result.report.cards != cards) {
            state.SkipWithError("the generated file did not read back");
            return false;
        }
        return true;
    }

private:
    QString dir_;
};

void finish(benchmark::State &state, int cards)
{
    state.SetItemsProcessed(state.iterations() * cards);
}

void load(benchmark::State &state, const BenchFiles *files, int cards)
{
    const QString path = files->cardFile(cards);
    for (auto _ : state) {
        auto deck = std::make_unique<mdk::Deck>();
        const mdk::cardfile::ReadResult result = mdk::cardfile::read(path, *deck);
        benchmark::DoNotOptimize(result.report.cards);
        // Freeing a million texts is not part of loading.
        state.PauseTiming();
        deck.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
    finish(state, cards);
}

void serialize(benchmark::State &state, const BenchFiles *files, int cards)
{
    mdk::Deck deck;
    if (!files->load(cards, deck, state))
        return;
    for (auto _ : state) {
        // What a save does before writing: fold the view back.
        deck.WriteBackView();
        const QByteArray bytes = mdk::cardfile::serializeDeck(deck);
        benchmark::DoNotOptimize(bytes.constData());
    }
    finish(state, cards);
}

void save(benchmark::State &state, const BenchFiles *files, int cards)
{
    mdk::Deck deck;
    if (!files->load(cards, deck, state))
        return;
    const QString target = files->saveTarget(cards);
    for (auto _ : state) {
        deck.WriteBackView();
        const mdk::WriteResult result = mdk::cardfile::writeDeck(deck, target);
        if (!result.ok) {
            state.SkipWithError(qPrintable(result.error));
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(target).size());
    finish(state, cards);
}

// Selecting the category that holds about a tenth of the cards: the view
// is written back and that category's view loaded (OpenCategory does
// exactly WriteBackView, LoadView and ResetCurrentCard).
void categorySwitch(benchmark::State &state, const BenchFiles *files, int cards)
{
    mdk::Deck deck;
    if (!files->load(cards, deck, state))
        return;
    const mdk::CategoryTree::NodeId large = deck.tree().findByName(mdk::generator::largeCategoryName());
    if (large == mdk::CategoryTree::None) {
        state.SkipWithError("no large category");
        return;
    }
    deck.selectCategory(large);
    for (auto _ : state) {
        deck.OpenCategory();
        benchmark::DoNotOptimize(deck.viewCount());
    }
    state.counters["view_cards"] = deck.viewCount();
    finish(state, cards);
}

void subcategoryView(benchmark::State &state, const BenchFiles *files, int cards)
{
    mdk::Deck deck;
    if (!files->load(cards, deck, state))
        return;
    for (auto _ : state) {
        deck.LoadViewWithSubcategories(deck.tree().root());
        benchmark::DoNotOptimize(deck.viewCount());
    }
    state.counters["view_cards"] = deck.viewCount();
    finish(state, cards);
}

// Prints the usual table, then per operation the cost per card at each
// size and how it grows from 100,000 to 1,000,000 cards.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            const std::string name = run.benchmark_name();
            const size_t slash = name.find('/');
            const std::string op = name.substr(0, slash);
            const int cards = std::stoi(name.substr(slash + 1));
            const double seconds = run.real_accumulated_time / double(run.iterations);
            results_[op][cards] = seconds;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printSummary() const
    {
        static const std::map<std::string, double> targetMs = {
            {"load", 1000}, {"save", 500}, {"switch", 100}};
        std::printf("\n%-12s %10s %12s %12s %12s\n", "operation", "cards", "ms/op", "ns/card", "target");
        for (const auto &[op, bySize] : results_) {
            for (const auto &[cards, seconds] : bySize) {
                std::string target = "-";
                const auto t = targetMs.find(op);
                if (cards == 1'000'000 && t != targetMs.end())
                    target = (seconds * 1000 < t->second ? "ok < " : "MISSED < ")
                             + std::to_string(int(t->second)) + " ms";
                std::printf("%-12s %10d %12.2f %12.1f %12s\n", op.c_str(), cards, seconds * 1000,
                            seconds * 1e9 / cards, target.c_str());
            }
            const auto big = bySize.find(1'000'000);
            const auto mid = bySize.find(100'000);
            if (big != bySize.end() && mid != bySize.end()) {
                const double ratio = (big->second / 1'000'000) / (mid->second / 100'000);
                std::printf("%-12s per-card cost 1,000,000 vs 100,000: %.2fx (%s)\n", op.c_str(), ratio,
                            ratio <= 1.5 ? "ok <= 1.5" : "MISSED > 1.5");
            }
        }
    }

private:
    std::map<std::string, std::map<int, double>> results_;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    BenchFiles files(dir.path());
    if (!files.make())
        return 1;

    using Fn = void (*)(benchmark::State &, const BenchFiles *, int);
    const std::pair<const char *, Fn> operations[] = {{"load", load},
                                                      {"serialize", serialize},
                                                      {"save", save},
                                                      {"switch", categorySwitch},
                                                      {"subcategories", subcategoryView}};
    for (const auto &[name, fn] : operations)
        for (int cards : kSizes)
            benchmark::RegisterBenchmark((std::string(name) + "/" + std::to_string(cards)).c_str(), fn,
                                         &files, cards)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(1.0);

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
