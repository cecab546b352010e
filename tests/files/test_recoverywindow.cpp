// The recovery copy through the real window: a program that ended without
// saving leaves a copy; the next one offers it, Recover brings the card back
// as unsaved changes, and Save leaves no copy.

#include "support/windowfixture.h"

#include "core/deck/cardfile.h"
#include "core/deck/filelock.h"
#include "core/deck/versions.h"
#include "core/shell/commandids.h"
#include "gui/files/recoverycontroller.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace mdk;
using namespace mdk::testsupport;

namespace {

// A copy left by a program that died: cards "q1".."qN", made at time.
recovery::Copy leaveCopy(const QString &folder, const QString &path, int cards, const QDateTime &time, qint64 pid)
{
    Deck deck;
    for (int k = 1; k <= cards; ++k)
        deck.appendFileCard(QStringLiteral("q%1").arg(k), QStringLiteral("a"), CategoryTree::kMainName);
    deck.LoadView(CategoryTree::kMainName);
    recovery::Snapshot snapshot(deck);
    while (!snapshot.gather(deck, 1000)) {
    }
    recovery::Meta meta;
    meta.path = path.isEmpty() ? QString() : QFileInfo(path).canonicalFilePath();
    meta.identity = recovery::identityOf(path);
    meta.time = time;
    meta.writer = {pid, recovery::thisProcess().host, 0};
    const QString base = recovery::copyName(meta.path, meta.writer, pid);
    const WriteResult result = recovery::writeCopy(snapshot, meta, folder, base);
    if (!result.ok)
        qWarning("%s", qPrintable(result.error));
    recovery::Copy copy;
    copy.metaFile = QDir(folder).filePath(base + QStringLiteral(".json"));
    copy.deckFile = QDir(folder).filePath(base + QStringLiteral(".mdk"));
    copy.meta = meta;
    return copy;
}

// A window of a new process: every other writer in this process is dead.
void startAsAnotherProcess(WindowFixture &run, const QString &folder, qint64 pid)
{
    recovery::World world;
    world.self = {pid, recovery::thisProcess().host, 0};
    world.alive = [pid](const recovery::Writer &w) { return w.pid == pid; };
    run.window->recovery().setWorld(world);
    run.window->recovery().useFolder(folder);
}

// Another window holds path's lock.
bool lockedElsewhere(const QString &path)
{
    FileLock probe;
    return probe.take(path) == FileLock::Result::HeldElsewhere;
}

} // namespace

class TestRecoveryWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recoveredCardsAreUnsavedAndSaveLeavesNoCopy();
    void twoCrashesGiveOneQuestionAboutTheNewest_data();
    void twoCrashesGiveOneQuestionAboutTheNewest();
    void aCopyPutOffOutlivesTheRecoveryOfAnother();
};

// Two crashes on one file left two copies, and a never-saved deck left a
// third. The next start asks once, about the newest; after Recover it asks
// nothing more. Recovered at a start with or without the file, the file is
// then open as Open opens it: locked, its versions at hand, and Save writes
// it without calling it changed on disk. Only the recovered copy goes.
void TestRecoveryWindow::twoCrashesGiveOneQuestionAboutTheNewest_data()
{
    QTest::addColumn<bool>("fileOnCommandLine");
    QTest::newRow("started with the file") << true;
    QTest::newRow("started without it") << false;
}

void TestRecoveryWindow::twoCrashesGiveOneQuestionAboutTheNewest()
{
    QFETCH(bool, fileOnCommandLine);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString folder = tmp.filePath(QStringLiteral("state/recovery"));
    const QString path = tmp.filePath(QStringLiteral("deck.mdk"));
    {
        Deck one;
        one.appendFileCard(QStringLiteral("q1"), QStringLiteral("a"), CategoryTree::kMainName);
        QVERIFY(cardfile::writeDeck(one, path).ok);
        // Saved before the crashes: every copy is newer than the file.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    QCOMPARE(versions::keep(path, 10), QString());
    const QDateTime now = QDateTime::currentDateTime();
    const recovery::Copy older = leaveCopy(folder, path, 2, now.addSecs(-120), 900001);
    const recovery::Copy other = leaveCopy(folder, QString(), 5, now.addSecs(-60), 900002);
    const recovery::Copy newer = leaveCopy(folder, path, 3, now, 900003);

    WindowFixture run;
    startAsAnotherProcess(run, folder, 800000);
    run.dialogs.recoverAnswers << UserDialogs::RecoveryAnswer::Recover << UserDialogs::RecoveryAnswer::Recover
                               << UserDialogs::RecoveryAnswer::Recover;
    if (fileOnCommandLine)
        run.window->LoadStartupFileFn({true, QStringLiteral("deck"), tmp.path()});
    else
        run.window->recovery().offerAtStartup();
    QCOMPARE(run.dialogs.recoverQuestions.size(), 1);
    QVERIFY2(run.dialogs.recoverQuestions.constFirst().contains(QStringLiteral("deck from")),
             qPrintable(run.dialogs.recoverQuestions.constFirst()));
    QVERIFY(run.dialogs.recoverQuestions.constFirst().contains(QStringLiteral("(3 cards)")));
    QCOMPARE(run.deck().viewCount(), 3);
    QVERIFY(run.deck().changed());
    QCOMPARE(run.window->windowTitle(), QStringLiteral("Mnemodeck - deck"));
    QVERIFY(lockedElsewhere(path));
    QVERIFY(run.window->commandEnabled(CM_EARLIERVERSIONS));

    run.window->recovery().writeNow();
    QTRY_VERIFY(!run.window->recovery().ownCopy().isEmpty());
    QTRY_VERIFY(!run.window->recovery().writing());
    QVERIFY(!QFile::exists(newer.metaFile));
    QVERIFY(QFile::exists(older.metaFile) && QFile::exists(other.metaFile));
    run.window->runCommand(CM_FILESAVE);
    QVERIFY(!run.deck().changed());
    QVERIFY2(run.dialogs.unexpected.isEmpty(), qPrintable(run.dialogs.unexpected.join(u'\n')));
    Deck reread;
    QVERIFY(cardfile::read(path, reread).opened);
    QCOMPARE(reread.fileCount(), 3);
    QCOMPARE(reread.fileSide1(2), QStringLiteral("q3"));
}

// "Decide later" keeps a copy through the recovery and save of an older
// one of the same file: it may hold the only cards of its kind. At the next
// start it comes back as a new deck, since its file changed since.
void TestRecoveryWindow::aCopyPutOffOutlivesTheRecoveryOfAnother()
{
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString folder = tmp.filePath(QStringLiteral("state/recovery"));
    const QString path = tmp.filePath(QStringLiteral("deck.mdk"));
    {
        Deck one;
        one.appendFileCard(QStringLiteral("q1"), QStringLiteral("a"), CategoryTree::kMainName);
        QVERIFY(cardfile::writeDeck(one, path).ok);
        // Saved before the crashes: every copy is newer than the file.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    const QDateTime now = QDateTime::currentDateTime();
    const recovery::Copy older = leaveCopy(folder, path, 2, now.addSecs(-120), 900001);
    const recovery::Copy newer = leaveCopy(folder, path, 4, now, 900003);
    {
        WindowFixture run;
        startAsAnotherProcess(run, folder, 800000);
        run.dialogs.recoverAnswers << UserDialogs::RecoveryAnswer::Later << UserDialogs::RecoveryAnswer::Recover;
        run.window->recovery().offerAtStartup();
        QCOMPARE(run.dialogs.recoverQuestions.size(), 2);
        QVERIFY(run.dialogs.recoverQuestions[0].contains(QStringLiteral("(4 cards)")));
        QVERIFY(run.dialogs.recoverQuestions[1].contains(QStringLiteral("(2 cards)")));
        QCOMPARE(run.deck().viewCount(), 2);
        run.window->recovery().writeNow();
        QTRY_VERIFY(!run.window->recovery().ownCopy().isEmpty());
        QTRY_VERIFY(!run.window->recovery().writing());
        run.window->runCommand(CM_FILESAVE);
        QVERIFY2(!run.deck().changed(), qPrintable(run.dialogs.messages().join(u'\n') + run.dialogs.unexpected.join(u'\n')));
        QVERIFY(!QFile::exists(older.metaFile));
        QVERIFY(QFile::exists(newer.metaFile) && QFile::exists(newer.deckFile));
    }
    WindowFixture next;
    startAsAnotherProcess(next, folder, 800001);
    next.dialogs.recoverAnswers << UserDialogs::RecoveryAnswer::Recover;
    next.window->recovery().offerAtStartup();
    QCOMPARE(next.dialogs.recoverQuestions.size(), 1);
    QVERIFY(next.dialogs.recoverQuestions[0].startsWith(QStringLiteral("Unsaved changes to a new deck")));
    QCOMPARE(next.deck().viewCount(), 4);
    QCOMPARE(next.window->windowTitle(), QStringLiteral("Mnemodeck"));
    QVERIFY(!lockedElsewhere(path));
}

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
    world.self = {recovery::thisProcess().pid + 1'000'000, recovery::thisProcess().host, 0};
    const qint64 self = world.self.pid;
    world.alive = [self](const recovery::Writer &w) { return w.pid == self; };
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
    const QString note = said.constFirst().constFirst().toString();
    QVERIFY(note.startsWith(QStringLiteral("The recovery copy could not be written.")));
    // The line holds the note whole, or cut short with an ellipsis and the
    // whole of it in its tool tip: never a reason silently cut off.
    QCOMPARE(second.window->statusText(), note);
    const auto *line = second.window->findChild<QLabel *>(QStringLiteral("MessageArea"));
    QVERIFY(line);
    QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->contentsRect().width());
    QVERIFY(line->text() == note || (line->text().endsWith(QChar(0x2026)) && line->toolTip() == note));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), onDisk);
    QCOMPARE(second.deck().viewCount(), 4);
    QVERIFY(second.deck().changed());
}

QTEST_MAIN(TestRecoveryWindow)
#include "test_recoverywindow.moc"
