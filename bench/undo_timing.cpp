// Times Undo and Redo in the real window and reports what the history
// holds, run by hand (not a test):
//   QT_QPA_PLATFORM=offscreen undo_timing FILE.mdk
// FILE is read as the user would open it. First Flip on "Main", then 30
// round trips between "Main" and the largest other category by clicking
// the tree, then Undo and Redo, each timed to the redrawn window. Then FILE
// again with every category in the combined view of "Main": six rounds of
// View subcategories, Flip, Shuffle (random) and View subcategories, the
// history's bytes and the process's resident memory after each; then one
// Undo and one Redo. Last, File > Import of a CSV that makes 10,000 new
// categories (written here, one card each, "Main" open on an empty deck):
// the import, its Undo and its Redo.

#include "support/modal.h"

#include "core/shell/commandids.h"
#include "core/shell/commandline.h"
#include "gui/exchange/exchangecontroller.h"
#include "gui/search/searchcontroller.h"
#include "gui/shell/mdkmaindlg.h"
#include "gui/shell/mnemodeckwindow.h"
#include "support/scripteddialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

void load(MnemodeckWindow &window, const QString &file)
{
    window.LoadStartupFileFn(parseCommandLine({file}, QDir::currentPath()));
}

void select(MnemodeckWindow &window, const QString &name)
{
    const auto items = window.client()->categoriesTree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    if (!items.isEmpty())
        window.client()->categoriesTree()->setCurrentItem(items.first());
    QCoreApplication::processEvents();
}

// The time of a command until the window has handled what it queued.
qint64 timed(MnemodeckWindow &window, int id)
{
    QElapsedTimer clock;
    clock.start();
    window.runCommand(id);
    QCoreApplication::processEvents();
    return clock.elapsed();
}

double residentMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: undo_timing FILE.mdk\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    ScriptedDialogs dialogs;
    MnemodeckWindow window(&dialogs);
    window.SetupWindow();
    window.sizeFrame();
    window.show();
    if (!QTest::qWaitForWindowActive(&window))
        std::fprintf(stderr, "the window did not become active\n");

    load(window, file);
    const Deck &deck = window.deck();
    // The largest category besides "Main".
    QString other;
    {
        QHash<QString, int> counts;
        for (int j = 0; j < deck.fileCount(); ++j)
            ++counts[deck.fileCategory(j)];
        int most = -1;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.key() != CategoryTree::kMainName && it.value() > most && deck.tree().contains(it.key())) {
                most = it.value();
                other = it.key();
            }
        std::printf("cards %d, \"Main\" %d, \"%s\" %d\n", deck.fileCount(), counts.value(CategoryTree::kMainName),
                    qPrintable(other), most);
    }
    std::printf("flip: %lld ms\n", timed(window, CM_FLIP));
    QElapsedTimer moves;
    moves.start();
    for (int i = 0; i < 30; ++i) {
        select(window, other);
        select(window, CategoryTree::kMainName);
    }
    std::printf("30 round trips: %lld ms, history %.1f MB\n", moves.elapsed(), double(deck.historyBytes()) / 1e6);
    std::printf("undo after 30 round trips: %lld ms\n", timed(window, CM_UNDO));
    std::printf("redo: %lld ms\n", timed(window, CM_REDO));
    std::printf("undo again: %lld ms\n", timed(window, CM_UNDO));

    load(window, file);
    std::printf("read again: resident %.0f MB\n", residentMB());
    window.options().shuffletype = 0; // random
    for (int round = 1; round <= 6; ++round) {
        window.runCommand(CM_VIEWSUBCATEGORIES);
        window.runCommand(CM_FLIP);
        onModal([&] { window.runCommand(CM_SHUFFLE); }, [&](QDialog *dialog) { click(dialog, "okButton"); });
        window.runCommand(CM_VIEWSUBCATEGORIES);
        QCoreApplication::processEvents();
        std::printf("round %d (view of %d cards): history %.1f MB, resident %.0f MB\n", round, deck.viewCount(),
                    double(deck.historyBytes()) / 1e6, residentMB());
    }
    std::printf("undo: %lld ms\n", timed(window, CM_UNDO));
    std::printf("redo: %lld ms\n", timed(window, CM_REDO));

    window.deck().forgetChanges();
    window.deck().clear();
    window.client()->refresh();
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("categories.csv"));
    {
        QFile out(csv);
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        out.write("side 1,side 2,category\n");
        for (int c = 0; c < 10'000; ++c)
            out.write(QStringLiteral("q%1,a%1,category %1\n").arg(c).toUtf8());
    }
    const double before = residentMB();
    dialogs.openAnswers << csv;
    QElapsedTimer clock;
    onModal([&] { window.runCommand(CM_IMPORT); },
            [&](QDialog *dialog) {
                clock.start();
                dialog->accept();
            });
    QCoreApplication::processEvents();
    std::printf("import of 10,000 categories: %lld ms from OK to the redrawn window, %d nodes, history %.1f MB, "
                "resident %.0f MB before, %.0f MB after\n",
                clock.elapsed(), deck.tree().nodeCount(), double(deck.historyBytes()) / 1e6, before, residentMB());
    const qint64 undoMs = timed(window, CM_UNDO);
    std::printf("undo: %lld ms (%d nodes)\n", undoMs, deck.tree().nodeCount());
    const qint64 redoMs = timed(window, CM_REDO);
    std::printf("redo: %lld ms (%d nodes), history %.1f MB\n", redoMs, deck.tree().nodeCount(),
                double(deck.historyBytes()) / 1e6);
    window.deck().forgetChanges(); // no save question on the way out
    return 0;
}
