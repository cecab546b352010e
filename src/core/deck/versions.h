#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <vector>

namespace mdk::versions {

// How many earlier versions of a file are kept when the settings say
// nothing, and the bound on their total size, in multiples of the file's.
inline constexpr int kDefaultKept = 10;
inline constexpr qint64 kSizeFactor = 20;

// Where the versions of path are kept: versions/<key> in the state folder.
QString folderFor(const QString &path);

// How many of the versions, given newest first by size, stay: at most kept
// of them, and no more than cap bytes in all; the older rest is dropped.
// The newest stays whenever kept allows one.
int survivors(const std::vector<qint64> &sizesNewestFirst, int kept, qint64 cap);

struct Version {
    QString path;
    QDateTime time; // when the kept file was last written
    qint64 size = 0;
    qint64 cards = -1; // -1: not known
};

// The versions of path, newest first. Only files named as keep() names
// them count; anything else in the folder is ignored. The card counts come
// from the names (a version kept by an earlier release is counted from its
// fields), so listing reads no version whole.
QList<Version> list(const QString &path);

// Copies path, about to be replaced, into its versions under a name of its
// own (the time, a counter and its card count, never a fixed temporary
// name), then drops the versions beyond kept and the size bound. kept 0
// keeps no version (those kept before stay). An empty string, or why the
// copy could not be made; the file itself is never touched.
QString keep(const QString &path, int kept);

// The card count of a kept version, -1 when it cannot be read.
int cardCount(const QString &versionPath);
// The cards of a card file counted from its fields (three per card after
// the categories), without reading a text; -1 when it is no card file of
// the current layout.
qint64 countCards(const QString &path);

} // namespace mdk::versions
