#pragma once

#include <QString>

namespace mdk::names {

// The name a base name is stored under: folded to lower case, ".mdk"
// appended unless the folded name already ends in it. Only the last suffix
// counts: "lesson.mdk.old" is stored as "lesson.mdk.old.mdk".
QString onDiskName(const QString &baseName);
// What the caption, status line and recent-files list show: the name less
// its last four characters when it ends in "mdk" in any letter case.
QString displayName(const QString &name);
// Save As keeps the chosen letter case; ".mdk" is added unless the name
// already ends in it, in any letter case.
QString saveAsTarget(const QString &chosenName);
// Save separately adds ".mdk" unless the name ends in it in its own case.
QString saveSeparatelyTarget(const QString &chosenName);

// The path of the entry of dir that is named name, letter case aside: the
// exact name when it exists, otherwise the first entry (in sorted order)
// equal to it without regard to case, otherwise dir/name itself. This lets
// a lower-cased on-disk name reach "Spanish.MDK" on a case-sensitive disk.
QString resolveCaseInsensitive(const QString &dir, const QString &name);

// The absolute path a typed or chosen name reaches: a relative name is
// taken in dir; when no entry has that exact name, one equal to it without
// regard to letter case is taken, so "spanish" with ".MDK" added still
// reaches spanish.mdk.
QString resolve(const QString &name, const QString &dir);
// The card file a display name names in dir: the name with ".mdk" in its own
// letter case, else its on-disk (lower-case) form or the name itself, letter
// case aside; the first that is a file, else the first.
QString locateCardFile(const QString &dir, const QString &displayName);

// Whether two names reach the same file: the same device and inode, so a
// hard link or a path through a symbolic link is the same file. A name that
// reaches nothing is the same only as an equal absolute path.
bool sameFile(const QString &a, const QString &b);

} // namespace mdk::names
