// The recovery copy through the real window: a program that ended without
// saving leaves a copy; the next one offers it, Recover brings the card back
// as unsaved changes, and Save leaves no copy.

#include "support/windowfixture.h"

#include "core/deck/cardfile.h"
#include "core/shell/commandids.h"
#include "gui/files/recoverycontroller.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace mdk;
using namespace mdk::testsupport;

class TestRecoveryWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recoveredCardsAreUnsavedAndSaveLeavesNoCopy();
};

void TestRecoveryWindow::recoveredCardsAreUnsavedAndSaveLeavesNoCopy()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString folder = tmp.filePath(QStringLiteral("state/recovery"));
    const QString path = tmp.filePath(QStringLiteral("deck.mdk"));
    {
        Deck one;
        one.appendFileCard(QStringLiteral("old"), QStringLiteral("card"), CategoryTree::kMainName);
        QVERIFY(cardfile::writeDeck(one, path).ok);
    }
    const StartupFile startup{true, QStringLiteral("deck"), tmp.path()};

    // The first program adds a card and writes its copy, then "crashes":
    // the next program sees its writer as gone.
    WindowFixture first;
    first.window->recovery().useFolder(folder);
    first.window->LoadStartupFileFn(startup);
    QVERIFY(first.deck().appendViewCard(QStringLiteral("added"), QStringLiteral("card")));
    first.window->recovery().deckTouched();
    first.window->recovery().writeNow();
    QTRY_VERIFY(!first.window->recovery().ownCopy().isEmpty());

    WindowFixture second;
    recovery::World world;
    world.self = {recovery::thisProcess().pid + 1'000'000, recovery::thisProcess().host};
    const qint64 self = world.self.pid;
    world.alive = [self](qint64 pid) { return pid == self; };
    second.window->recovery().setWorld(world);
    second.window->recovery().useFolder(folder);
    second.dialogs.recoverAnswers << UserDialogs::RecoveryAnswer::Recover;
    // Both windows live in this process, so the first one's lock is live.
    second.dialogs.answers << QMessageBox::Yes;
    second.window->LoadStartupFileFn(startup);
    QCOMPARE(second.dialogs.recoverQuestions.size(), 1);
    QVERIFY(second.dialogs.recoverQuestions.constFirst().startsWith(
        QStringLiteral("Unsaved changes to deck from ")));
    QVERIFY(second.dialogs.recoverQuestions.constFirst().endsWith(
        QStringLiteral(" (2 cards) were found. Recover them?")));
    QCOMPARE(second.deck().viewCount(), 2);
    QCOMPARE(second.deck().viewSide1(1), QStringLiteral("added"));
    QVERIFY(second.deck().changed());
    QCOMPARE(second.window->windowTitle(), QStringLiteral("Mnemodeck - deck"));

    second.window->recovery().writeNow();
    QTRY_VERIFY(!second.window->recovery().ownCopy().isEmpty());
    second.window->runCommand(CM_FILESAVE);
    QVERIFY(!second.deck().changed());
    // Only the first program's own copy may be left: it is still "running".
    for (const recovery::Copy &copy : recovery::listCopies(folder))
        QCOMPARE(copy.meta.writer, recovery::thisProcess());
    Deck reread;
    QVERIFY(cardfile::read(path, reread).opened);
    QCOMPARE(reread.fileCount(), 2);

    // A copy that cannot be written is said once in the status line, and
    // neither the file nor the deck feels it.
    const QByteArray onDisk = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    second.window->recovery().useFolder(path + QStringLiteral("/recovery"));
    QSignalSpy said(&second.window->recovery(), &RecoveryController::statusMessage);
    for (int k = 0; k < 2; ++k) {
        QVERIFY(second.deck().appendViewCard(QStringLiteral("more"), QString::number(k)));
        second.window->recovery().deckTouched();
        second.window->recovery().writeNow();
        QTRY_VERIFY(!second.window->recovery().writing());
    }
    QCOMPARE(said.size(), 1);
    QVERIFY(said.constFirst().constFirst().toString().startsWith(QStringLiteral("The recovery copy could not be written.")));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), onDisk);
    QCOMPARE(second.deck().viewCount(), 4);
    QVERIFY(second.deck().changed());
}

QTEST_MAIN(TestRecoveryWindow)
#include "test_recoverywindow.moc"
