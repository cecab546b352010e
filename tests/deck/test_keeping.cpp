// The open file's lock and the earlier versions kept at each save.

#include "core/deck/filelock.h"
#include "core/deck/versions.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

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
};

QTEST_GUILESS_MAIN(TestKeeping)
#include "test_keeping.moc"
