#include "core/deck/cardfile.h"
#include "core/deck/safewrite.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstddef>
#include <functional>
#include <grp.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
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

// Runs body in a child process; returns its exit code, or 100 + the signal
// that killed it. The body must not use the test macros.
int inChild(const std::function<int()> &body)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// 0 when the write reported failure with a reason, 1 when it claimed
// success, 2 when it failed without saying why.
int failureVerdict(const WriteResult &r)
{
    return r.ok ? 1 : (r.error.isEmpty() ? 2 : 0);
}

// Runs a write in a child whose file-size limit stops it part-way, as a full
// disk would. Returns failureVerdict of the write.
int writeUnderSizeLimit(const QString &path, const QByteArray &data, rlim_t limit)
{
    return inChild([&] {
        rlimit rl{limit, limit};
        setrlimit(RLIMIT_FSIZE, &rl);
        return failureVerdict(writeFileSafely(path, data));
    });
}

// Turns the calling process into an ordinary user (root's privileges go with
// the uid), member of gid and of extraGroup.
bool becomeUser(uid_t uid, gid_t gid, gid_t extraGroup)
{
    const gid_t groups[] = {extraGroup};
    return setgroups(1, groups) == 0 && setresgid(gid, gid, gid) == 0 && setresuid(uid, uid, uid) == 0;
}

// Makes every rename of the calling process fail with EPERM, as a file
// system that refuses the final rename would. No privilege is needed.
bool failRenames()
{
#if defined(__x86_64__)
    constexpr unsigned arch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
    constexpr unsigned arch = AUDIT_ARCH_AARCH64;
#else
    return false;
#endif
#ifndef __NR_rename
    constexpr int nrRename = -1; // newer architectures only have renameat
#else
    constexpr int nrRename = __NR_rename;
#endif
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, arch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, unsigned(nrRename), 3, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat, 2, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat2, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0
           && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// "uid:gid:mode" of a file, mode in octal.
QString ownerOf(const QString &path)
{
    struct stat st {};
    stat(QFile::encodeName(path).constData(), &st);
    return QStringLiteral("%1:%2:%3").arg(st.st_uid).arg(st.st_gid).arg(st.st_mode & 07777, 0, 8);
}

bool setOwner(const QString &path, uid_t uid, gid_t gid, mode_t mode)
{
    const QByteArray name = QFile::encodeName(path);
    return chown(name.constData(), uid, gid) == 0 && chmod(name.constData(), mode) == 0;
}

constexpr uid_t kUser = 12345;
constexpr uid_t kOtherUser = 12346;
constexpr gid_t kGroup = 12345;
constexpr gid_t kExtraGroup = 23456;

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
    void failedRenameKeepsOldFile();
    void replacementKeepsOwnerGroupAndMode();
    void unreplaceableFileIsWrittenInPlace();
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
    // The whole file in one write call, cut short by the limit: that call
    // reports no error, only a count below the request.
    QCOMPARE(writeUnderSizeLimit(path, QByteArray(100 * 1024, 'z'), 50 * 1024), 0);
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
    QVERIFY(d.appendViewCard(QString(QChar(0x65E5)), QStringLiteral("day")));
    d.WriteBackView();
    TextEncoding used = d.encoding();
    const WriteResult bad = cardfile::writeDeck(d, dir.filePath(QStringLiteral("missing/x.mdk")), &used);
    QVERIFY(!bad.ok);
    QCOMPARE(used, TextEncoding::Windows1252); // nothing was written

    const QString path = dir.filePath(QStringLiteral("x.mdk"));
    QVERIFY(cardfile::writeDeck(d, path, &used).ok);
    QCOMPARE(used, TextEncoding::Utf8); // remembered as written
    Deck back;
    QVERIFY(cardfile::read(path, back).opened);
    QCOMPARE(back.viewSide1(0), QString(QChar(0x65E5)));

    const cardfile::ReadResult missing = cardfile::read(dir.filePath(QStringLiteral("gone.mdk")), back);
    QVERIFY(!missing.opened);
    QCOMPARE(back.viewCount(), 1); // the deck is untouched
}

void TestSafeWrite::failedRenameKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deck.mdk"));
    writeRaw(path, "old");
    const QByteArray probe = QFile::encodeName(dir.filePath(QStringLiteral("probe")));
    const int verdict = inChild([&] {
        if (!failRenames())
            return 10;
        if (rename(probe.constData(), probe.constData()) == 0 || errno != EPERM)
            return 11; // the filter is not in force
        return failureVerdict(writeFileSafely(path, "new"));
    });
    if (verdict == 10)
        QSKIP("cannot install a seccomp filter here");
    QCOMPARE(verdict, 0);
    QCOMPARE(readAll(path), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"deck.mdk"});
}

void TestSafeWrite::replacementKeepsOwnerGroupAndMode()
{
    if (geteuid() != 0)
        QSKIP("needs root to hand files to other users");
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                  | QFile::ReadOther | QFile::ExeOther));

    // Saved by root, owned by someone else: owner, group and setgid stay.
    const QString path = dir.filePath(QStringLiteral("deck.mdk"));
    writeRaw(path, "old");
    QVERIFY(setOwner(path, kUser, kGroup, 02640));
    QVERIFY(writeFileSafely(path, "new").ok);
    QCOMPARE(readAll(path), QByteArray("new"));
    QCOMPARE(ownerOf(path), QStringLiteral("12345:12345:2640"));

    // Saved by an ordinary user: the owner cannot be kept, but the group the
    // saver belongs to and the mode can.
    const QString shared = dir.filePath(QStringLiteral("shared"));
    QVERIFY(QDir().mkdir(shared));
    QVERIFY(setOwner(shared, kUser, kGroup, 0755));
    const QString theirs = shared + QStringLiteral("/deck.mdk");
    writeRaw(theirs, "old");
    QVERIFY(setOwner(theirs, kOtherUser, kExtraGroup, 02770));
    const int verdict = inChild([&] {
        if (!becomeUser(kUser, kGroup, kExtraGroup))
            return 10;
        return writeFileSafely(theirs, "new").ok ? 0 : 1;
    });
    QCOMPARE(verdict, 0);
    QCOMPARE(readAll(theirs), QByteArray("new"));
    QCOMPARE(ownerOf(theirs), QStringLiteral("12345:23456:2770"));
}

void TestSafeWrite::unreplaceableFileIsWrittenInPlace()
{
    if (geteuid() != 0)
        QSKIP("needs root to set up folders the saver may not change");
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                  | QFile::ReadOther | QFile::ExeOther));
    // Root's folder, not writable by the user, holding the user's file, a
    // file of root's, and a folder of the same kind as /tmp.
    const QString locked = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkdir(locked));
    QVERIFY(setOwner(locked, 0, 0, 0755));
    const QString mine = locked + QStringLiteral("/mine.mdk");
    const QString roots = locked + QStringLiteral("/roots.mdk");
    const QString big = locked + QStringLiteral("/big.mdk");
    const QByteArray longOld = "an old file longer than the new one";
    writeRaw(mine, longOld);
    writeRaw(roots, "root's");
    writeRaw(big, "old");
    QVERIFY(setOwner(mine, kUser, kGroup, 0640));
    QVERIFY(setOwner(roots, 0, 0, 0644));
    QVERIFY(setOwner(big, kUser, kGroup, 0644));
    const QString sticky = dir.filePath(QStringLiteral("sticky"));
    QVERIFY(QDir().mkdir(sticky));
    QVERIFY(setOwner(sticky, 0, 0, 01777));
    const QString others = sticky + QStringLiteral("/others.mdk");
    writeRaw(others, "old");
    QVERIFY(setOwner(others, kOtherUser, kGroup, 0666));

    const int verdict = inChild([&] {
        if (!becomeUser(kUser, kGroup, kGroup))
            return 10;
        if (!writeFileSafely(mine, "new").ok)
            return 11;
        if (!writeFileSafely(others, "new").ok)
            return 12;
        const WriteResult refused = writeFileSafely(roots, "new");
        if (refused.ok || refused.error.isEmpty())
            return 13;
        rlimit rl{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &rl);
        return 20 + failureVerdict(writeFileSafely(big, QByteArray(100 * 1024, 'z')));
    });
    QCOMPARE(verdict, 20);
    QCOMPARE(readAll(mine), QByteArray("new")); // the longer old tail is gone
    QCOMPARE(ownerOf(mine), QStringLiteral("12345:12345:640"));
    QCOMPARE(readAll(others), QByteArray("new"));
    QCOMPARE(ownerOf(others), QStringLiteral("12346:12345:666"));
    QCOMPARE(readAll(roots), QByteArray("root's"));
    QCOMPARE(QDir(locked).entryList(QDir::Files), (QStringList{"big.mdk", "mine.mdk", "roots.mdk"}));
    QCOMPARE(QDir(sticky).entryList(QDir::Files), QStringList{"others.mdk"});
}

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "test_safewrite.moc"
