#include "core/deck/cardfile.h"
#include "core/deck/conversion.h"
#include "support/cardfilebytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace mdk;
using conversion::Result;
using conversion::Version;
using testsupport::cardFields;
using testsupport::writeBytes;

namespace {

QByteArray block(const QByteArray &text, int size)
{
    QByteArray b = text;
    b.append('\0');
    while (b.size() < size)
        b.append('x'); // filler that must not reach the text
    return b;
}

QByteArray convert(const QByteArray &old, Version version)
{
    return conversion::convertBytes(std::string_view(old.constData(), size_t(old.size())), version);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Runs body in a child process and returns its exit code (the body must
// not use the test macros).
int inChild(const std::function<int()> &body)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

const QByteArray kDogCat = block("dog", 95) + block("Hund", 95) + block("cat", 95) + block("Katze", 95);

} // namespace

class TestConversion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fixedBlocks()
    {
        QCOMPARE(convert(kDogCat, Version::V100),
                 cardFields({"1", "Main", "Root", "dog", "Hund", "Main", "cat", "Katze", "Main"}));

        // A block without NUL is taken whole, a bell never reaches a card,
        // and a short last block is side 1 of a card with an empty side 2.
        const QByteArray edges = QByteArray(95, 'A') + block("ri\ang", 95) + QByteArray("short");
        QCOMPARE(convert(edges, Version::V201),
                 cardFields({"1", "Main", "Root", QByteArray(95, 'A'), "ring", "Main", "short", "", "Main"}));

        // The same bytes in 1001-byte blocks are one card of one block.
        QCOMPARE(convert(edges, Version::V301), cardFields({"1", "Main", "Root", edges.first(95) + "ring", "", "Main"}));
        QCOMPARE(convert(block("maison\r\n\xe9t\xe9", 1001) + block("", 1001), Version::V301),
                 cardFields({"1", "Main", "Root", "maison\r\n\xe9t\xe9", "", "Main"}));
    }

    void laterFields()
    {
        // Empty sides stay empty, a field longer than the reader's buffer
        // stays whole, NUL is dropped and a missing side 2 is empty.
        const QByteArray longText(12000, 'L');
        static const char kTail[] = "\an\0ul\atail";
        const QByteArray old = "a\a\a" + longText + QByteArray(kTail, sizeof kTail - 1);
        QCOMPARE(convert(old, Version::Later),
                 cardFields({"1", "Main", "Root", "a", "", "Main", longText, "nul", "Main", "tail", "", "Main"}));
        QCOMPARE(convert(QByteArray(), Version::Later), cardfile::emptyFile());
    }

    void convertedTextsReadBackAsWindows1252()
    {
        // "Ã©tÃ©" and "CAFÉ…" in Windows-1252 happen to be valid UTF-8 bytes.
        const QByteArray side1("\xc3\xa9t\xc3\xa9"), side2("CAF\xc9\x85");
        const std::pair<Version, QByteArray> files[] = {
            {Version::V100, block(side1, 95) + block(side2, 95)},
            {Version::V201, block(side1, 95) + block(side2, 95)},
            {Version::V301, block(side1, 1001) + block(side2, 1001)},
            {Version::Later, cardFields({side1, side2})},
        };
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.mdk"));
        for (const auto &[version, old] : files) {
            QVERIFY(writeBytes(path, old));
            QCOMPARE(conversion::convertFile(path, version).status, Result::Status::Converted);
            Deck deck;
            QVERIFY(cardfile::read(path, deck).opened);
            QCOMPARE(deck.fileCount(), 1);
            QCOMPARE(deck.fileSide1(0), QStringLiteral("Ã©tÃ©"));
            QCOMPARE(deck.fileSide2(0), QStringLiteral("CAFÉ…"));
        }
    }

    void convertFileKeepsTheOriginal()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lesson.mdk"));
        QVERIFY(writeBytes(path, kDogCat));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("lesson.bac")), "precious"));

        const Result r = conversion::convertFile(path, Version::V100);
        QCOMPARE(r.status, Result::Status::Converted);
        QCOMPARE(r.backupPath, dir.filePath(QStringLiteral("lesson-2.bac")));
        QCOMPARE(readAll(r.backupPath), kDogCat);
        QCOMPARE(readAll(dir.filePath(QStringLiteral("lesson.bac"))), QByteArray("precious"));
        QCOMPARE(readAll(path), convert(kDogCat, Version::V100));

        // Now current: refused, and nothing is written.
        const QStringList before = QDir(dir.path()).entryList(QDir::Files);
        QCOMPARE(conversion::convertFile(path, Version::V100).status, Result::Status::AlreadyCurrent);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), before);
        QCOMPARE(readAll(path), convert(kDogCat, Version::V100));
        QCOMPARE(conversion::convertFile(dir.filePath(QStringLiteral("none.mdk")), Version::V100).status,
                 Result::Status::CannotAccess);

        // A read-only original: its backup keeps its bytes and its mode
        // while the converted file becomes writable.
        const QString locked = dir.filePath(QStringLiteral("locked.mdk"));
        QVERIFY(writeBytes(locked, kDogCat));
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner));
        const Result lockedResult = conversion::convertFile(locked, Version::V100);
        QCOMPARE(lockedResult.status, Result::Status::Converted);
        QCOMPARE(readAll(lockedResult.backupPath), kDogCat);
        QVERIFY(!(QFile::permissions(lockedResult.backupPath) & QFile::WriteOwner));
        QVERIFY(QFile::permissions(locked) & QFile::WriteOwner);
    }

    void failuresLeaveTheFileAndNoBackup()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lesson.mdk"));
        QVERIFY(writeBytes(path, kDogCat));
        const QByteArray dirName = QFile::encodeName(dir.path());

        // A folder where no backup can be made: nothing is written. Root
        // may write anywhere, so the child becomes an ordinary user first.
        const int readOnlyFolder = inChild([&] {
            const uid_t user = ::geteuid() == 0 ? 12345 : ::geteuid();
            if (::chown(dirName.constData(), user, user) != 0 || ::chown(QFile::encodeName(path).constData(), user, user) != 0
                || ::chmod(dirName.constData(), 0555) != 0 || ::setresgid(user, user, user) != 0
                || ::setresuid(user, user, user) != 0)
                return 10;
            const Result r = conversion::convertFile(path, Version::V100);
            return r.status == Result::Status::Failed && !r.error.isEmpty() ? 0 : 11;
        });
        QVERIFY(::chmod(dirName.constData(), 0755) == 0);
        QVERIFY(::chown(QFile::encodeName(path).constData(), ::geteuid(), ::getegid()) == 0);
        QCOMPARE(readOnlyFolder, 0);
        QCOMPARE(readAll(path), kDogCat);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"lesson.mdk"});

        // A write that fails part-way, as on a full disk: the backup made
        // for it (a link, which writes no bytes) goes again.
        const int failedWrite = inChild([&] {
            rlimit rl{16, 16};
            ::setrlimit(RLIMIT_FSIZE, &rl);
            const Result r = conversion::convertFile(path, Version::V100);
            return r.status == Result::Status::Failed && !r.error.isEmpty() ? 0 : 11;
        });
        QCOMPARE(failedWrite, 0);
        QCOMPARE(readAll(path), kDogCat);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"lesson.mdk"});
    }
};

QTEST_GUILESS_MAIN(TestConversion)
#include "test_conversion.moc"
