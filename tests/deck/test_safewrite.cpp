#include "core/deck/cardfile.h"
#include "core/deck/safewrite.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace mdk;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Runs a write in a child whose file-size limit stops it part-way, as a full
// disk would. Returns the child's verdict: 0 when the write reported
// failure, 1 when it claimed success.
int writeUnderSizeLimit(const QString &path, const QByteArray &data, rlim_t limit)
{
    const pid_t pid = fork();
    if (pid == 0) {
        rlimit rl{limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
        const WriteResult r = writeFileSafely(path, data);
        _exit(r.ok ? 1 : (r.error.isEmpty() ? 2 : 0));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

} // namespace

class TestSafeWrite : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesAndReplaces();
    void failuresAreReportedAndLeaveNoFile();
    void shortWriteLeavesOldFileIntact();
    void readOnlyTargetIsOverwritten();
    void readOnlyTargetKeepsPermissionsWhenWriteFails();
    void deckWriterReportsFailure();
};

void TestSafeWrite::writesAndReplaces()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deck.mdk"));
    QVERIFY(writeFileSafely(path, "first").ok);
    QCOMPARE(readAll(path), QByteArray("first"));
    QVERIFY(writeFileSafely(path, "second").ok);
    QCOMPARE(readAll(path), QByteArray("second"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"deck.mdk"}); // no leftovers
}

void TestSafeWrite::failuresAreReportedAndLeaveNoFile()
{
    QTemporaryDir dir;
    const WriteResult missingDir = writeFileSafely(dir.filePath(QStringLiteral("no/such/deck.mdk")), "x");
    QVERIFY(!missingDir.ok);
    QVERIFY(!missingDir.error.isEmpty());

    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("taken.mdk")));
    const WriteResult folder = writeFileSafely(dir.filePath(QStringLiteral("taken.mdk")), "x");
    QVERIFY(!folder.ok);
    QVERIFY(!folder.error.isEmpty());
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("taken.mdk"))).isDir());
}

void TestSafeWrite::shortWriteLeavesOldFileIntact()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deck.mdk"));
    const QByteArray old = cardfile::emptyFile() + QByteArray("old card\aold answer\aMain\a");
    writeRaw(path, old);
    const QByteArray big(3 * 1024 * 1024, 'z');
    QCOMPARE(writeUnderSizeLimit(path, big, 1024 * 1024 + 17), 0);
    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"deck.mdk"});
}

void TestSafeWrite::readOnlyTargetIsOverwritten()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deck.mdk"));
    writeRaw(path, "old");
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    QVERIFY(writeFileSafely(path, "new").ok);
    QCOMPARE(readAll(path), QByteArray("new"));
    QVERIFY(QFileInfo(path).permissions().testFlag(QFile::WriteOwner));
    QVERIFY(QFileInfo(path).permissions().testFlag(QFile::ReadGroup));
}

void TestSafeWrite::readOnlyTargetKeepsPermissionsWhenWriteFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deck.mdk"));
    writeRaw(path, "old");
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QVERIFY(QFile::setPermissions(path, readOnly));
    QCOMPARE(writeUnderSizeLimit(path, QByteArray(2 * 1024 * 1024, 'z'), 4096), 0);
    QCOMPARE(readAll(path), QByteArray("old"));
    const QFile::Permissions stored = QFileInfo(path).permissions()
                                      & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    QCOMPARE(stored, readOnly);
}

void TestSafeWrite::deckWriterReportsFailure()
{
    QTemporaryDir dir;
    Deck d;
    d.Side1List.AddString(QString(QChar(0x65E5)));
    d.Side2List.AddString(QStringLiteral("day"));
    const WriteResult bad = cardfile::writeDeck(d, dir.filePath(QStringLiteral("missing/x.mdk")));
    QVERIFY(!bad.ok);
    QCOMPARE(d.encoding, TextEncoding::Windows1252); // nothing was written

    const QString path = dir.filePath(QStringLiteral("x.mdk"));
    QVERIFY(cardfile::writeDeck(d, path).ok);
    QCOMPARE(d.encoding, TextEncoding::Utf8); // remembered as written
    Deck back;
    QVERIFY(cardfile::read(path, back).opened);
    QCOMPARE(back.Side1List.at(0), QString(QChar(0x65E5)));

    const cardfile::ReadResult missing = cardfile::read(dir.filePath(QStringLiteral("gone.mdk")), back);
    QVERIFY(!missing.opened);
    QCOMPARE(back.viewCount(), 1); // the deck is untouched
}

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "test_safewrite.moc"
