#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

#include <sys/stat.h>

class QSaveFile;

namespace mdk {

struct WriteResult {
    bool ok = false;
    QString error; // why the write failed, for the user
};

// Replaces path with data so that the previous file survives any failure:
// the bytes go to a temporary file beside it, every write is checked, and
// only a complete file is renamed over the old one (then the directory is
// synced). The new file keeps the owner (where the system allows), group and
// mode bits of the one it replaces. A read-only target is made writable for
// the save and is left readable and writable afterwards; on failure its
// permissions are restored. Where the folder does not allow the file to be
// replaced (no write permission, or a sticky folder and someone else's file)
// but the file itself is writable, it is overwritten in place instead, with
// every write checked; a failure there is reported and may leave the file
// incomplete.
WriteResult writeFileSafely(const QString &path, const QByteArray &data);

// The same replacement written in pieces, so that a large file need never be
// held in memory whole: write() as often as needed, then commit(). Nothing
// replaces the old file before commit(); a writer dropped uncommitted, or
// after a failed write, leaves it as it was. (Where the file must be
// overwritten in place, the pieces are gathered and written at commit.)
class SafeWriter {
public:
    explicit SafeWriter(const QString &path);
    ~SafeWriter();
    SafeWriter(const SafeWriter &) = delete;
    SafeWriter &operator=(const SafeWriter &) = delete;

    // False once anything failed; commit() then reports why.
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &data) { return write(data.constData(), data.size()); }
    // Drops everything written so far, to start the new file again.
    bool restart();
    // Gives up: the old file stays as it was.
    void cancel(const QString &why) { fail(why); }
    WriteResult commit();

private:
    void fail(const QString &why);

    QByteArray targetName_, dirName_;
    struct stat old_ {};
    bool existed_ = false;
    bool inPlace_ = false;
    bool madeWritable_ = false;
    bool committed_ = false;
    QByteArray pending_; // the in-place case only
    std::unique_ptr<QSaveFile> file_;
    QString error_;
};

} // namespace mdk
