#include "safewrite.h"

#include <QFileInfo>
#include <QSaveFile>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace mdk {

namespace {

constexpr qint64 kChunk = 1 << 20;

// The "user" bits describe what this process may do (root may do anything)
// and would be written back as owner bits; keep only the stored ones.
QFile::Permissions storedPermissions(const QFileInfo &info)
{
    return info.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

void syncDirectory(const QString &path)
{
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

WriteResult writeFileSafely(const QString &path, const QByteArray &data)
{
    // A write past a file-size limit would otherwise kill the program
    // instead of failing the write.
    std::signal(SIGXFSZ, SIG_IGN);

    WriteResult result;
    const QFileInfo info(path);
    const bool existed = info.exists();
    const QFile::Permissions oldPermissions = existed ? storedPermissions(info) : QFile::Permissions();
    if (existed && info.isDir()) {
        result.error = QStringLiteral("A folder of that name is in the way.");
        return result;
    }
    const QFile::Permissions writable = QFile::ReadOwner | QFile::WriteOwner;
    if (existed && (oldPermissions & writable) != writable)
        QFile::setPermissions(path, oldPermissions | writable);

    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    auto fail = [&](const QString &why) {
        file.cancelWriting();
        if (existed)
            QFile::setPermissions(path, oldPermissions);
        result.error = why;
        return result;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());

    // QSaveFile::commit() alone can report success after a short write, so
    // every chunk is checked.
    for (qint64 pos = 0; pos < data.size(); pos += kChunk) {
        const qint64 len = qMin(kChunk, qint64(data.size()) - pos);
        if (file.write(data.constData() + pos, len) != len)
            return fail(file.error() == QFileDevice::NoError
                            ? QStringLiteral("Not all of the file could be written; the disk may be full.")
                            : file.errorString());
    }
    if (!file.flush())
        return fail(file.errorString());
    if (!file.commit()) {
        result.error = file.errorString();
        if (existed)
            QFile::setPermissions(path, oldPermissions);
        return result;
    }
    syncDirectory(path);
    QFile::setPermissions(path, storedPermissions(QFileInfo(path)) | writable);
    result.ok = true;
    return result;
}

} // namespace mdk
