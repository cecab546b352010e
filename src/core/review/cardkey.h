#pragma once

#include <QString>
#include <QtGlobal>

namespace mdk::review {

// A card is known by its text: a 64-bit hash of side 1 and side 2, so
// shuffling, moving, merging or copying the file keeps its progress, and an
// edit of its text starts it afresh. Our own function, so the keys stored
// never change with a library's hashing.
qint64 cardKey(const QString &side1, const QString &side2);

} // namespace mdk::review
