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

} // namespace mdk::names
