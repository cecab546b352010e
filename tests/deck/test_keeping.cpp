// The open file's lock and the earlier versions kept at each save.

#include "core/deck/cardfile.h"
#include "core/deck/filelock.h"
#include "core/deck/recovery.h"
#include "core/deck/versions.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The state letter of a process, from /proc (0 when it is gone).
char stateOf(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && close + 2 < line.size() ? line[close + 2] : 0;
}

} // namespace

using namespace mdk;

class TestKeeping : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    void setFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_STATE_HOME", dir_.filePath(QStringLiteral("state")).toUtf8());
        qputenv("XDG_RUNTIME_DIR", dir_.filePath(QStringLiteral("runtime")).toUtf8());
    }

    // At most the count kept, at most the size bound, oldest dropped first,
    // the newest always.
    void survivorsKeepTheNewestWithinBothBounds()
    {
        QCOMPARE(versions::survivors(std::vector<qint64>(12, 1), 10, 1000), 10);
        QCOMPARE(versions::survivors({4, 4, 4, 1}, 10, 10), 2);
        QCOMPARE(versions::survivors({50, 1}, 10, 20), 1);
        QCOMPARE(versions::survivors({}, 10, 20), 0);
    }

    // Saves in quick succession each keep their own version (no name is
    // used twice), and only the newest ten stay.
    void keepingTwelveVersionsLeavesTheNewestTen()
    {
        const QString file = dir_.filePath(QStringLiteral("deck.mdk"));
        for (int k = 0; k < 12; ++k) {
            setFile(file, QByteArray("content ") + QByteArray::number(k));
            QCOMPARE(versions::keep(file, 10), QString());
        }
        const QList<versions::Version> kept = versions::list(file);
        QCOMPARE(kept.size(), 10);
        QFile newest(kept.first().path), oldest(kept.last().path);
        QVERIFY(newest.open(QIODevice::ReadOnly) && oldest.open(QIODevice::ReadOnly));
        QCOMPARE(newest.readAll(), QByteArray("content 11"));
        QCOMPARE(oldest.readAll(), QByteArray("content 2"));
    }

    // A second holder is refused and told who holds it; the lock of a
    // process that ended without releasing it is taken over.
    void secondHolderRefusedAndStaleLockTakenOver()
    {
        const QString file = dir_.filePath(QStringLiteral("locked.mdk"));
        FileLock first, second;
        QCOMPARE(first.take(file), FileLock::Result::Taken);
        QCOMPARE(second.take(file), FileLock::Result::HeldElsewhere);
        QCOMPARE(second.holderPid(), qint64(::getpid()));
        first.release();

        const pid_t child = ::fork();
        if (child == 0) {
            FileLock held;
            ::_exit(held.take(file) == FileLock::Result::Taken ? 0 : 1); // never released
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QCOMPARE(second.take(file), FileLock::Result::Taken);
    }

    // A holder killed a moment ago is a zombie until its parent reaps it: it
    // writes nothing more, so its lock is taken over and its pid counts as
    // dead; a pid given to another process since is not the writer either.
    void zombieAndReusedPidAreNotTheWriter()
    {
        const QString file = dir_.filePath(QStringLiteral("zombie.mdk"));
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            FileLock held;
            const char ok = held.take(file) == FileLock::Result::Taken ? 'y' : 'n';
            (void)!::write(ready[1], &ok, 1);
            for (;;)
                ::pause();
        }
        char ok = 0;
        QCOMPARE(::read(ready[0], &ok, 1), ssize_t(1));
        QCOMPARE(ok, 'y');
        const recovery::Writer living{child, QSysInfo::machineHostName(), recovery::processStart(child)};
        QVERIFY(living.start != 0);
        QVERIFY(recovery::processAlive(living));
        FileLock second;
        QCOMPARE(second.take(file), FileLock::Result::HeldElsewhere);
        QCOMPARE(second.holderPid(), qint64(child));
        QCOMPARE(second.holderHost(), QString());

        QCOMPARE(::kill(child, SIGKILL), 0);
        QTRY_COMPARE(stateOf(child), 'Z');
        QVERIFY(!recovery::processAlive(living));
        QVERIFY(!recovery::processAlive({child, living.host, 0}));
        QCOMPARE(recovery::processStart(child), quint64(0));
        QCOMPARE(second.take(file), FileLock::Result::Taken);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        ::close(ready[0]);
        ::close(ready[1]);

        // This process, and this pid with another start: another process.
        const recovery::Writer self = recovery::thisProcess();
        QVERIFY(self.start != 0);
        QVERIFY(recovery::processAlive(self));
        QVERIFY(!recovery::processAlive({self.pid, self.host, self.start + 1}));
        // Two writers of one pid never share a copy's name.
        QVERIFY(recovery::copyName(file, self, 0) != recovery::copyName(file, {self.pid, self.host, self.start + 1}, 0));
    }

    // A lock held on another machine cannot be checked: it holds, and the
    // holder's machine is named.
    void lockOfAnotherMachineNamesIt()
    {
        const QString file = dir_.filePath(QStringLiteral("shared.mdk"));
        QVERIFY(QDir().mkpath(runtimeFolder()));
        setFile(QDir(runtimeFolder()).filePath(fileKey(file) + QStringLiteral(".lock")),
                "4242\nmdeck43\nfaraway.example\n");
        FileLock lock;
        QCOMPARE(lock.take(file), FileLock::Result::HeldElsewhere);
        QCOMPARE(lock.holderPid(), qint64(4242));
        QCOMPARE(lock.holderHost(), QStringLiteral("faraway.example"));
    }

    // Versions carry their card count in their names, equal to what the
    // reader counts, so the list reads no version; 0 kept turns keeping
    // off; a count is never taken from bytes that are no card file.
    void versionsCarryTheReadersCardCount()
    {
        const QString file = dir_.filePath(QStringLiteral("counted.mdk"));
        QRandomGenerator rng(27);
        for (int round = 0; round < 30; ++round) {
            Deck deck;
            const int categories = rng.bounded(4);
            for (int c = 0; c < categories; ++c)
                deck.addCategory(deck.tree().root(), QStringLiteral("C%1").arg(c));
            const int cards = round == 0 ? 0 : rng.bounded(1, 300);
            for (int k = 0; k < cards; ++k)
                deck.appendFileCard(QStringLiteral("q%1\r\nline").arg(k), rng.bounded(3) ? QStringLiteral("a") : QString(),
                                    categories && rng.bounded(2) ? QStringLiteral("C%1").arg(rng.bounded(categories))
                                                                 : CategoryTree::kMainName);
            QVERIFY(cardfile::writeDeck(deck, file).ok);
            Deck reread;
            const cardfile::ReadResult read = cardfile::read(file, reread);
            QVERIFY(read.opened);
            QCOMPARE(versions::countCards(file), qint64(read.report.cards));
            QCOMPARE(versions::keep(file, 3), QString());
            QCOMPARE(versions::list(file).first().cards, qint64(read.report.cards));
            QVERIFY(versions::list(file).first().path.endsWith(QStringLiteral("-%1.mdk").arg(read.report.cards)));
        }
        // Keeping none: the file is saved over with no new version.
        const qsizetype before = versions::list(file).size();
        QCOMPARE(versions::keep(file, 0), QString());
        QCOMPARE(versions::list(file).size(), before);

        for (const QByteArray &junk : {QByteArray(), QByteArray("Main\aRoot\a"), QByteArray("x\aMain\aRoot\a"),
                                       QByteArray("99999999999999\aMain\aRoot\a"), QByteArray(5000, '\a')}) {
            setFile(file, junk);
            QCOMPARE(versions::countCards(file), qint64(-1));
        }
        setFile(file, "3\aMain\aRoot\aA\aMain\a");
        QCOMPARE(versions::countCards(file), qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestKeeping)
#include "test_keeping.moc"
