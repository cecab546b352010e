#pragma once

#include <QByteArray>
#include <QString>

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

} // namespace mdk
