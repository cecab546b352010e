#pragma once

#include <QString>
#include <QtGlobal>

namespace mdk::review {

// A card is known by its two texts: a 64-bit hash of side 1 and side 2
// taken as a pair, whichever side is first, so shuffling, moving, merging,
// copying and flipping keep its progress. When the program changes a
// card's text (Edit, and its undo and redo) the progress is given to the
// new text (ProgressStore::follow); a text changed by another program
// starts afresh. Our own function, so the keys stored never change with a
// library's hashing.
qint64 cardKey(const QString &side1, const QString &side2);
// The key stores of earlier versions used (side 1 first): their progress
// is taken over under cardKey when the card is next seen.
qint64 legacyCardKey(const QString &side1, const QString &side2);

} // namespace mdk::review
