// File > Earlier versions with 10 kept versions of a 1,000,000-card file:
// listing them (the counts come from the versions' names) and the dialog
// on the screen (target 100 ms), beside versions kept by an earlier
// release, whose names carry no count and whose fields are counted.

#include "core/deck/versions.h"
#include "generator.h"
#include "gui/files/earlierversionsdlg.h"

#include "benchsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kCards = 1'000'000;
constexpr int kVersions = 10;

struct Kept {
    QTemporaryDir dir;
    QString file;
    bool ok = false;
    Kept()
    {
        qputenv("XDG_STATE_HOME", dir.filePath(QStringLiteral("state")).toUtf8());
        file = dir.filePath(QStringLiteral("deck.mdk"));
        mdk::generator::Settings settings;
        settings.cards = kCards;
        ok = mdk::generator::writeFile(settings, file).ok;
        for (int k = 0; ok && k < kVersions; ++k)
            ok = mdk::versions::keep(file, kVersions).isEmpty();
        ok = ok && mdk::versions::list(file).size() == kVersions;
    }
    // Renames the versions as an earlier release named them (no count).
    void dropCounts()
    {
        static const QRegularExpression count(QStringLiteral("-\\d+(\\.mdk)$"));
        for (const mdk::versions::Version &v : mdk::versions::list(file)) {
            QString bare = v.path;
            bare.replace(count, QStringLiteral("\\1"));
            QFile::rename(v.path, bare);
        }
    }
};

Kept &kept()
{
    static Kept once;
    return once;
}

void openDialog()
{
    QList<mdk::EarlierVersionsDlg::Row> rows;
    for (const mdk::versions::Version &v : mdk::versions::list(kept().file))
        rows.append({v.time, v.cards, v.size});
    mdk::EarlierVersionsDlg dialog(rows);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        std::fprintf(stderr, "the dialog was not shown\n");
    QCoreApplication::processEvents();
}

void earlierVersions(benchmark::State &state)
{
    if (!kept().ok) {
        state.SkipWithError("the versions could not be made");
        return;
    }
    benchsupport::timed(state, openDialog, [] {});
}

void earlierVersionsKeptByAnEarlierRelease(benchmark::State &state)
{
    if (!kept().ok) {
        state.SkipWithError("the versions could not be made");
        return;
    }
    kept().dropCounts();
    benchsupport::timed(state, openDialog, [] {});
}

} // namespace

BENCHMARK(earlierVersions)->Name("earlier_versions")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(earlierVersionsKeptByAnEarlierRelease)
    ->Name("earlier_versions_uncounted")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchsupport::TargetReporter reporter({{"earlier_versions", 100}},
                                          "Earlier versions, 10 versions of 1,000,000 cards");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
