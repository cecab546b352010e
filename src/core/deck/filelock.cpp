#include "filelock.h"

#include "core/deck/recovery.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <algorithm>
#include <utility>

namespace mdk {

namespace {

const QString kProgramFolder = QStringLiteral("mnemodeck");

QString folderFromEnvironment(const char *variable)
{
    const QString dir = qEnvironmentVariable(variable);
    // A relative folder in these variables is to be ignored, as desktops do.
    return !dir.isEmpty() && QDir::isAbsolutePath(dir) ? QDir(dir).filePath(kProgramFolder) : QString();
}

} // namespace

QString stateFolder()
{
    const QString fromEnvironment = folderFromEnvironment("XDG_STATE_HOME");
    return !fromEnvironment.isEmpty() ? fromEnvironment
                                      : QDir::home().filePath(QStringLiteral(".local/state/") + kProgramFolder);
}

QString runtimeFolder()
{
    const QString fromEnvironment = folderFromEnvironment("XDG_RUNTIME_DIR");
    return !fromEnvironment.isEmpty() ? fromEnvironment : stateFolder();
}

QString fileKey(const QString &path)
{
    const QFileInfo info(path);
    // A file not yet on disk: its folder's canonical path and its name.
    QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty()) {
        const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
        canonical = (dir.isEmpty() ? info.absolutePath() : dir) + QLatin1Char('/') + info.fileName();
    }
    return QString::fromLatin1(
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
}

FileLock::FileLock() = default;
FileLock::~FileLock() = default;
FileLock::FileLock(FileLock &&) noexcept = default;
FileLock &FileLock::operator=(FileLock &&) noexcept = default;

FileLock::Result FileLock::take(const QString &path)
{
    release();
    const QString dir = runtimeFolder();
    if (!QDir().mkpath(dir))
        return Result::Failed;
    auto lock = std::make_unique<QLockFile>(QDir(dir).filePath(fileKey(path) + QStringLiteral(".lock")));
    // Age says nothing about a holder that still runs (a window open all
    // day); QLockFile still takes over the lock of a process that is gone.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        lock_ = std::move(lock);
        file_ = QFileInfo(path).absoluteFilePath();
        return Result::Taken;
    }
    if (lock->error() != QLockFile::LockFailedError)
        return Result::Failed;
    qint64 pid = 0;
    QString host, program;
    const bool known = lock->getLockInfo(&pid, &host, &program);
    const bool here = host.isEmpty() || host == QSysInfo::machineHostName();
    // QLockFile takes a zombie (a killed holder its parent has not reaped
    // yet) for a live process: a restart right after a crash would ask.
    if (known && here && !recovery::processAlive({pid, host, 0}) && lock->removeStaleLockFile()
        && lock->tryLock(0)) {
        lock_ = std::move(lock);
        file_ = QFileInfo(path).absoluteFilePath();
        return Result::Taken;
    }
    holderPid_ = known ? pid : 0;
    holderHost_ = known && !here ? host : QString();
    return Result::HeldElsewhere;
}

void FileLock::release()
{
    lock_.reset();
    file_.clear();
    holderPid_ = 0;
    holderHost_.clear();
}

DiskStamp DiskStamp::of(const QString &path)
{
    DiskStamp stamp;
    QFile file(path);
    const QFileInfo info(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return stamp;
    stamp.exists = true;
    stamp.size = file.size();
    stamp.modifiedMs = info.lastModified().toMSecsSinceEpoch();
    constexpr qint64 kEnd = 64 * 1024;
    QByteArray sample = file.read(kEnd);
    if (stamp.size > kEnd && file.seek(std::max(kEnd, stamp.size - kEnd)))
        sample += file.read(kEnd);
    // FNV-1a: 64 bits of a sample of at most 128 KiB.
    quint64 h = 14695981039346656037ull ^ quint64(stamp.size);
    for (const char c : std::as_const(sample)) {
        h ^= quint8(c);
        h *= 1099511628211ull;
    }
    stamp.hash = h;
    return stamp;
}

} // namespace mdk
