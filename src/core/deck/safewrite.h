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
// synced). A read-only target is made writable for the save and is left
// readable and writable afterwards; on failure its permissions are restored.
WriteResult writeFileSafely(const QString &path, const QByteArray &data);

} // namespace mdk
