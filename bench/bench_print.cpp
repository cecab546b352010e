// Printing a generated deck of 1,000,000 cards: the start of the Print
// command with "Main" open and selected (fold-back plus the dialog's opening
// state, target 50 ms), and the whole list-format printout (43,479 pages)
// into a PDF file (target 60 s). Peak memory of a print is measured on
// mdktool print with /usr/bin/time -v.

#include "core/deck/deck.h"
#include "core/print/printjob.h"
#include "generator.h"
#include "gui/print/printout.h"

#include "benchsupport.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kCards = 1'000'000;

const mdk::Deck &baseDeck()
{
    static const mdk::Deck deck = [] {
        mdk::Deck d;
        mdk::generator::Settings settings;
        settings.cards = kCards;
        mdk::generator::fillDeck(d, settings);
        return d;
    }();
    return deck;
}

void beginPrintAndDialogStart(benchmark::State &state)
{
    mdk::Deck deck = baseDeck();
    // An edit in "Main", so each fold-back has a changed view to carry.
    benchsupport::timedThenRestore(
        state,
        [&] {
            mdk::print::beginPrintCommand(deck);
            benchmark::DoNotOptimize(mdk::print::dialogStart(deck, mdk::print::CategoryAndSubs));
        },
        [&] { deck.replaceViewCard(0, QStringLiteral("edited"), QStringLiteral("again")); });
}

void printListToPdf(benchmark::State &state)
{
    const mdk::Deck &deck = baseDeck();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("cards.pdf"));
    const mdk::print::Printout printout(mdk::print::cardsToPrint(deck, mdk::print::AllCards), false,
                                        QStringLiteral("big"), mdk::LogFont());
    benchsupport::timed(
        state,
        [&] {
            QPdfWriter writer(pdf);
            writer.setResolution(600);
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
            if (printout.print(writer, [](int, int) { return true; })
                != mdk::print::Printout::Outcome::Printed)
                state.SkipWithError("the printout failed");
        },
        [] {});
    state.counters["pages"] = printout.pageCount();
}

} // namespace

BENCHMARK(beginPrintAndDialogStart)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(printListToPdf)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchsupport::TargetReporter reporter({{"beginPrintAndDialogStart", 50}, {"printListToPdf", 60'000}},
                                          "Print, 1,000,000 cards");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
