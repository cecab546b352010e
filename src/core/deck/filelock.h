#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace mdk {

// The program's own folders (created on demand by their users):
// $XDG_STATE_HOME/mnemodeck, else ~/.local/state/mnemodeck, for what must
// outlive a run; $XDG_RUNTIME_DIR/mnemodeck, else the state folder, for
// the locks, which die with the session.
QString stateFolder();
QString runtimeFolder();
// A file's key in those folders: a hash of its canonical path, so every
// spelling of one file (links, "..", a relative name) finds the same entry.
QString fileKey(const QString &path);

// One writer per card file: a lock file in the runtime folder, keyed by the
// file, holding the holder's pid, host and program. A lock left by a
// process that no longer runs (or is a zombie: killed, not yet reaped) is
// taken over silently; a live holder's lock never goes stale with age.
class FileLock {
public:
    enum class Result { Taken, HeldElsewhere, Failed };

    FileLock();
    ~FileLock();
    FileLock(FileLock &&) noexcept;
    FileLock &operator=(FileLock &&) noexcept;

    // Releases any lock held, then tries to take the one of path.
    Result take(const QString &path);
    void release();
    bool holds() const { return lock_ != nullptr; }
    // The file whose lock is held; empty when none.
    const QString &file() const { return file_; }
    // After HeldElsewhere: the process holding it (0 when unknown), and its
    // machine when that is another one (empty for this machine).
    qint64 holderPid() const { return holderPid_; }
    const QString &holderHost() const { return holderHost_; }

private:
    std::unique_ptr<QLockFile> lock_;
    QString file_;
    qint64 holderPid_ = 0;
    QString holderHost_;
};

// What a file on disk looked like: size, modification time and a hash of
// its first and last 64 KiB. Cheap enough for every Save of a large file,
// and it tells a rewrite of the same size within the clock's tick apart.
struct DiskStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedMs = 0;
    quint64 hash = 0;

    static DiskStamp of(const QString &path);
    bool operator==(const DiskStamp &) const = default;
};

} // namespace mdk
