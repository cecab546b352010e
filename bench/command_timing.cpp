// Times three commands in the real window, run by hand (not a test):
//   QT_QPA_PLATFORM=offscreen command_timing FILE.mdk
// FILE's cards are first written into one card file with every card in
// "Main", so that the view holds them all (as `mdktool generate` spreads
// them over many categories). Then: Alphabetize (Shuffle dialog, OK), Delete duplicates on side 1 (Search
// dialog with an empty text) and opening Edit on a card whose side 1 is
// 100,000 characters without a space. Each command starts from FILE as
// read; for the two long ones the largest gap between two moves of the
// dialog's progress display is printed too.

#include "support/modal.h"
#include "support/scripteddialogs.h"

#include "core/deck/cardfile.h"
#include "core/shell/commandline.h"
#include "gui/edit/editcontroller.h"
#include "gui/search/searchcontroller.h"
#include "gui/shell/mdkmaindlg.h"
#include "gui/shell/mnemodeckwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <sys/resource.h>
#include <time.h>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

// Notes the time of each paint of the watched widget: a progress display
// that moves without being painted shows nothing.
struct Gaps : QObject {
    QElapsedTimer clock;
    qint64 last = 0, widest = 0;
    int moves = 0;
    void start()
    {
        clock.start();
        last = widest = 0;
        moves = 0;
    }
    void moved()
    {
        const qint64 now = clock.elapsed();
        widest = qMax(widest, now - last);
        last = now;
        ++moves;
    }
    void end() { widest = qMax(widest, clock.elapsed() - last); }
    void watch(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && clock.isValid())
            moved();
        return false;
    }
};

// CPU time of the whole process (every thread) and of this thread, in ms:
// on a busy machine the wall time says little, and the second thread's
// share shows only in the first.
struct Cpu {
    double process = 0, thread = 0;
    static Cpu now()
    {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        timespec own{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &own);
        return {(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
                    + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3,
                own.tv_sec * 1e3 + own.tv_nsec / 1e6};
    }
    Cpu since() const
    {
        const Cpu end = now();
        return {end.process - process, end.thread - thread};
    }
};

void load(MnemodeckWindow &window, const QString &file)
{
    window.LoadStartupFileFn(parseCommandLine({file}, QDir::currentPath()));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: command_timing FILE.mdk\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("all.mdk"));
    {
        Deck read, all;
        cardfile::read(QString::fromLocal8Bit(argv[1]), read);
        for (int j = 0; j < read.fileCount(); ++j)
            all.appendFileCard(read.fileSide1(j), read.fileSide2(j), CategoryTree::kMainName);
        if (!cardfile::writeDeck(all, file).ok) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    ScriptedDialogs dialogs;
    MnemodeckWindow window(&dialogs);
    window.SetupWindow();
    window.sizeFrame();
    window.show();
    QTest::qWaitForWindowActive(&window);

    load(window, file);
    std::printf("cards in view: %d\n", window.deck().viewCount());

    Gaps gaps;
    QElapsedTimer whole;
    Cpu cpu;
    window.options().shuffletype = 3;
    onModal([&] { window.searchCommands().ShuffleCards(); },
            [&](QDialog *dialog) {
                // A window is painted once it is on the screen, as the
                // user's is long before OK is pressed.
                QTest::qWaitForWindowExposed(dialog);
                gaps.watch(child<QProgressBar>(dialog, "progressBar"));
                gaps.start();
                whole.start();
                cpu = Cpu::now();
                click(dialog, "okButton");
                gaps.end();
            });
    Cpu used = cpu.since();
    std::printf("alphabetize: %lld ms (%lld ms to the redrawn window; CPU %.0f ms, %.0f ms on the window's thread), "
                "bar painted %d times, widest gap %lld ms\n",
                gaps.clock.elapsed(), whole.elapsed(), used.process, used.thread, gaps.moves, gaps.widest);

    load(window, file);
    onModal([&] { window.searchCommands().Search(); },
            [&](QDialog *dialog) {
                QTest::qWaitForWindowExposed(dialog);
                child<QCheckBox>(dialog, "duplicates1Box")->setChecked(true);
                child<QLineEdit>(dialog, "searchEdit")->clear();
                // The scanning counter is the search's progress display.
                gaps.watch(child<QLabel>(dialog, "scanningLabel"));
                gaps.start();
                whole.start();
                cpu = Cpu::now();
                click(dialog, "beginSearchButton");
                gaps.end();
            });
    used = cpu.since();
    std::printf("delete duplicates on side 1: %lld ms (%lld ms to the redrawn window; CPU %.0f ms, %.0f ms on the "
                "window's thread), counter painted %d times, widest gap %lld ms, %d cards left\n",
                gaps.clock.elapsed(), whole.elapsed(), used.process, used.thread, gaps.moves, gaps.widest,
                window.deck().viewCount());

    window.deck().replaceViewCard(0, QString(100'000, QLatin1Char('x')), QStringLiteral("answer"));
    window.deck().setCurrentCard(0, window.deck().side());
    QElapsedTimer opening;
    qint64 shown = 0;
    opening.start();
    onModal([&] { window.editCommands().CMEdit(); },
            [&](QDialog *dialog) {
                QCoreApplication::processEvents();
                shown = opening.elapsed();
                dialog->reject();
            });
    std::printf("open Edit on a 100,000-character side: %lld ms\n", shown);
    window.deck().forgetChanges(); // no save question on the way out
    return 0;
}
