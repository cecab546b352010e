// Opening the Edit Card dialog on a side of 100,000 characters without a
// space, until the dialog is on the screen and laid out (target 200 ms),
// beside a side of the same length in words of eight letters.

#include "gui/edit/editcarddlg.h"

#include "benchsupport.h"

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

void openEdit(benchmark::State &state)
{
    QString side1(100'000, QLatin1Char('x'));
    if (state.range(0) != 0)
        for (qsizetype i = 8; i < side1.size(); i += 9)
            side1[i] = QLatin1Char(' ');
    benchsupport::timed(
        state,
        [&] {
            mdk::EditCardDlg dialog(1, side1, QStringLiteral("answer"), QApplication::font());
            dialog.show();
            if (!QTest::qWaitForWindowExposed(&dialog))
                state.SkipWithError("the dialog was not shown");
            QCoreApplication::processEvents();
        },
        [] {});
}

} // namespace

BENCHMARK(openEdit)->Name("open_edit")->ArgName("words")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchsupport::TargetReporter reporter({{"open_edit", 200}}, "Edit Card, 100,000 characters");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
