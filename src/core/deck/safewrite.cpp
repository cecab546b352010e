#include "safewrite.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>

#include <memory>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mdk {

namespace {

constexpr qint64 kChunk = 1 << 20;
constexpr mode_t kModeBits = 07777;
// A read-only card file is made readable and writable by a save.
constexpr mode_t kOwnerReadWrite = S_IRUSR | S_IWUSR;

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void syncDirectory(const QByteArray &dir)
{
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// True when a replacement cannot be renamed into place beside the existing
// file: the folder refuses new entries, or it is a sticky folder (like /tmp)
// where only the owner of a file may replace it. The file itself may still
// be writable, so it can be overwritten where it stands.
bool folderRefusesReplacement(const QByteArray &dir, const struct stat &file)
{
    if (::faccessat(AT_FDCWD, dir.constData(), W_OK | X_OK, AT_EACCESS) != 0)
        return errno == EACCES;
    struct stat folder;
    if (::stat(dir.constData(), &folder) != 0 || !(folder.st_mode & S_ISVTX))
        return false;
    const uid_t me = ::geteuid();
    return me != 0 && me != file.st_uid && me != folder.st_uid;
}

// Gives the new file the owner, group and mode of the one it replaces. Only
// root may give a file away, so a failed owner change still keeps the group
// where the saver belongs to it. The mode comes last: a change of owner
// clears the setuid and setgid bits.
void keepOwnership(int fd, const struct stat &old)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    ::fchmod(fd, (old.st_mode & kModeBits) | kOwnerReadWrite);
}

// Overwrites the file where it stands: every write is checked, the old tail
// is cut off only once all the new bytes are there, and the data is synced.
WriteResult writeInPlace(const QByteArray &target, const struct stat &old, const QByteArray &data)
{
    WriteResult result;
    const mode_t oldMode = old.st_mode & kModeBits;
    const bool madeWritable = (oldMode & kOwnerReadWrite) != kOwnerReadWrite
                              && ::chmod(target.constData(), oldMode | kOwnerReadWrite) == 0;
    auto fail = [&](const QString &why) {
        if (madeWritable)
            ::chmod(target.constData(), oldMode);
        result.error = why;
        return result;
    };

    const int fd = ::open(target.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(QCoreApplication::translate("Mnemodeck", "The file cannot be written (%1), and its folder does not allow "
                                   "a new copy to take its place.")
                        .arg(errnoText(errno)));
    // From the first write on, the old contents are gone.
    auto damaged = [&](int error, bool closeFile = true) {
        if (closeFile)
            ::close(fd);
        return fail(QCoreApplication::translate("Mnemodeck", "Its folder does not allow the file to be replaced, so it was "
                                   "overwritten where it stands, and that failed: %1. The file on disk "
                                   "may be incomplete; save the cards in another folder.")
                        .arg(errnoText(error)));
    };

    const char *bytes = data.constData();
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, bytes + done, static_cast<size_t>(qMin(kChunk, data.size() - done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return damaged(n < 0 ? errno : ENOSPC);
        done += n;
    }
    if (::ftruncate(fd, static_cast<off_t>(data.size())) != 0)
        return damaged(errno);
    // Writing cleared a setgid bit; put it back where this user may.
    ::fchmod(fd, oldMode | kOwnerReadWrite);
    if (::fsync(fd) != 0)
        return damaged(errno);
    if (::close(fd) != 0)
        return damaged(errno, false);
    result.ok = true;
    return result;
}

} // namespace

SafeWriter::SafeWriter(const QString &path)
{
    // A write past a file-size limit would otherwise kill the program
    // instead of failing the write.
    std::signal(SIGXFSZ, SIG_IGN);

    const QFileInfo info(path);
    // A symbolic link is followed: its target is the file that is replaced.
    const QString target = info.exists() ? info.canonicalFilePath() : path;
    targetName_ = QFile::encodeName(target);
    dirName_ = QFile::encodeName(QFileInfo(target).absolutePath());
    existed_ = ::stat(targetName_.constData(), &old_) == 0;
    if (existed_ && S_ISDIR(old_.st_mode)) {
        error_ = QCoreApplication::translate("Mnemodeck", "A folder of that name is in the way.");
        return;
    }
    if (existed_ && S_ISREG(old_.st_mode) && folderRefusesReplacement(dirName_, old_)) {
        // Overwriting in place destroys the old bytes at the first write, so
        // the whole new file is gathered first and written in one go.
        inPlace_ = true;
        return;
    }

    // QSaveFile refuses to replace a file it may not write.
    const mode_t oldMode = existed_ ? (old_.st_mode & kModeBits) : 0;
    madeWritable_ = existed_ && (oldMode & kOwnerReadWrite) != kOwnerReadWrite
                    && ::chmod(targetName_.constData(), oldMode | kOwnerReadWrite) == 0;
    file_ = std::make_unique<QSaveFile>(target);
    file_->setDirectWriteFallback(false);
    if (!file_->open(QIODevice::WriteOnly))
        fail(file_->errorString());
}

SafeWriter::~SafeWriter()
{
    if (file_ && !committed_)
        fail(QString());
}

void SafeWriter::fail(const QString &why)
{
    if (!error_.isEmpty() || committed_)
        return;
    error_ = why.isEmpty() ? QCoreApplication::translate("Mnemodeck", "The file was not written.") : why;
    if (file_)
        file_->cancelWriting();
    if (madeWritable_)
        ::chmod(targetName_.constData(), old_.st_mode & kModeBits);
    madeWritable_ = false;
}

bool SafeWriter::write(const char *data, qint64 size)
{
    if (!error_.isEmpty())
        return false;
    if (inPlace_) {
        pending_.append(data, qsizetype(size));
        return true;
    }
    // QSaveFile::commit() alone can report success after a short write, so
    // every chunk is checked.
    for (qint64 pos = 0; pos < size; pos += kChunk) {
        const qint64 len = qMin(kChunk, size - pos);
        if (file_->write(data + pos, len) != len) {
            fail(file_->error() == QFileDevice::NoError
                     ? QCoreApplication::translate("Mnemodeck", "Not all of the file could be written; the disk may be full.")
                     : file_->errorString());
            return false;
        }
    }
    return true;
}

bool SafeWriter::restart()
{
    if (!error_.isEmpty())
        return false;
    if (inPlace_) {
        pending_.clear();
        return true;
    }
    if (!file_->flush() || !file_->seek(0) || !file_->resize(0)) {
        fail(file_->errorString());
        return false;
    }
    return true;
}

WriteResult SafeWriter::commit()
{
    WriteResult result;
    if (!error_.isEmpty()) {
        result.error = error_;
        return result;
    }
    if (inPlace_) {
        committed_ = true;
        return writeInPlace(targetName_, old_, pending_);
    }
    if (!file_->flush()) {
        fail(file_->errorString());
        result.error = error_;
        return result;
    }
    // After the last write: a write by an ordinary user clears setgid.
    if (existed_)
        keepOwnership(file_->handle(), old_);
    committed_ = true;
    if (!file_->commit()) {
        result.error = file_->errorString();
        if (madeWritable_)
            ::chmod(targetName_.constData(), old_.st_mode & kModeBits);
        return result;
    }
    syncDirectory(dirName_);
    result.ok = true;
    return result;
}

WriteResult writeFileSafely(const QString &path, const QByteArray &data)
{
    SafeWriter writer(path);
    writer.write(data.constData(), data.size());
    return writer.commit();
}

} // namespace mdk
