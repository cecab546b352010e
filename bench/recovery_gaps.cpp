// The window's largest wait between two turns of its event loop while a
// recovery copy is taken, in the real window, run by hand (not a test):
//   QT_QPA_PLATFORM=offscreen recovery_gaps FILE.mdk [ROUNDS]
// FILE is read as the program opens it, a card is added (the deck now
// differs from its file), and each round asks for a copy as the timer
// does. A zero-interval timer fires once per turn of the event loop; the
// widest gap between two of its ticks, from the request until the copy is
// on disk and the worker joined, is what a user typing meanwhile would
// feel.

#include "support/scripteddialogs.h"

#include "core/shell/commandline.h"
#include "gui/files/recoverycontroller.h"
#include "gui/shell/mnemodeckwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#include <time.h>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

// CPU time of the window's thread, in microseconds: on a busy machine the
// wall-clock gap also holds time the thread waited for a core.
qint64 threadCpuUs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1'000'000 + t.tv_nsec / 1000;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: recovery_gaps FILE.mdk [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    MnemodeckWindow window(&dialogs);
    window.SetupWindow();
    window.sizeFrame();
    window.show();
    if (!QTest::qWaitForWindowActive(&window))
        std::fprintf(stderr, "the window did not become active\n");
    window.LoadStartupFileFn(parseCommandLine({QString::fromLocal8Bit(argv[1])}, QDir::currentPath()));
    std::printf("cards in the file: %d\n", window.deck().fileCount());
    RecoveryController &recovery = window.recovery();
    recovery.useFolder(dir.filePath(QStringLiteral("recovery")));

    qint64 worstOfAll = 0;
    for (int round = 0; round < rounds; ++round) {
        window.deck().appendViewCard(QStringLiteral("typed"), QString::number(round));
        recovery.deckTouched();
        QElapsedTimer clock;
        qint64 last = 0, widest = 0, widestAt = 0, lastCpu = threadCpuUs(), widestCpu = 0, widestCpuAt = 0, gathered = -1;
        int turns = 0;
        bool begun = false;
        QEventLoop loop;
        QTimer tick;
        tick.setInterval(0);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            const qint64 cpu = threadCpuUs();
            if (now - last > widest) {
                widest = now - last;
                widestAt = last;
            }
            if (cpu - lastCpu > widestCpu) {
                widestCpu = cpu - lastCpu;
                widestCpuAt = last;
            }
            if (gathered < 0 && recovery.writing() && recovery.gathered())
                gathered = now;
            last = now;
            lastCpu = cpu;
            ++turns;
            if (recovery.writing())
                begun = true;
            else if (begun)
                loop.quit();
        });
        clock.start();
        tick.start();
        QTimer::singleShot(0, &recovery, &RecoveryController::writeNow);
        loop.exec();
        tick.stop();
        worstOfAll = std::max(worstOfAll, widest);
        std::printf("copy %d: %lld ms in all, %d turns of the event loop, widest gap %lld ms (from %lld ms on); "
                    "most CPU the window's thread spent between two turns: %.1f ms (from %lld ms on); snapshot taken "
                    "at %lld ms\n",
                    round + 1, clock.elapsed(), turns, widest, widestAt, widestCpu / 1000.0, widestCpuAt, gathered);
    }
    std::printf("widest gap over %d copies: %lld ms wall clock\n", rounds, worstOfAll);
    window.deck().forgetChanges(); // no save question on the way out
    return 0;
}
