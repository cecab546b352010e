#pragma once

#include "cardfile.h"
#include "deck.h"
#include "safewrite.h"

#include <QString>
#include <QStringList>

#include <string_view>

// Moving cards between card files without opening them one by one: merging
// several files into one, pasting another file's cards and categories into
// the open deck, and appending single cards to a chosen file.
namespace mdk::transfer {

// --- Merge

inline const QString kNoSource = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "You must have at least 1 source file."));
inline const QString kNoDestination = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "You must type a destination file name."));
// listedName + " does not exist."
QString doesNotExist(const QString &listedName);
// A source that is the destination itself, named as listed.
QString mergedIntoItself(const QString &listedName);

// A name typed into the merge dialog's "New source" and added with Add:
// ".mdk" appended when the name has no dot. (Browse results get ".MDK"
// appended to a title without a dot, the same rule in capitals.)
QString addedSourceName(const QString &typed);

struct MergeResult {
    bool ok = false;
    QString message; // for the merge dialog's message line
    int cards = 0;   // cards merged
};

// Merges the card files sources (absolute paths, in list order, duplicates
// allowed, each known to exist and to be current) into destination: every
// card of every source, in order, into "Main", every text unchanged (an
// empty side stays an empty field, a single space stays a single space).
// Each file is decoded in its own encoding and the result written in one
// (Windows-1252 when every text fits, else UTF-8); plain byte copies where
// the encodings agree. NUL bytes are dropped. A missing destination is created as "1", "Main",
// "Root" and the cards; an existing current card file keeps its content and
// gains only the card records; a destination that exists but is not a
// current card file (or cannot be read) is refused, and so is a source that
// is the destination itself (the same file through any spelling, links
// included). The result is written piece by piece through a SafeWriter, so
// memory holds little more than the pages in use and a failed write leaves
// the destination as it was; a result larger than sizeLimit (the largest
// file the reader takes) is refused. Every refusal or failure returns
// ok = false and a message naming the file, with nothing written.
MergeResult mergeFiles(const QStringList &sources, const QString &destination,
                       qint64 sizeLimit = cardfile::kMaxFileSize);

// --- Paste from

inline const QString kInsertCaption = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Paste from"));
// Shown with the caption "File Open".
inline const QString kCannotOpen = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "An error occured.  Did you type the correct name?"));
inline const QString kInsertFull =
    QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Cannot insert all the cards.  Your file has exceeded the maximum possible size"));
inline const QString kInserted = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "File inserted"));

struct InsertResult {
    bool opened = false;
    bool storeFull = false;
    int cards = 0; // cards inserted
};

// Grafts a card file into the deck under the category target (a node name;
// "Main" when none is selected): its category records, with parent "Main"
// replaced by target, merge into a node of the same name (exact,
// case-sensitive) anywhere in the tree or become the last child of the node
// found for their parent; its cards are appended to the file-level cards
// with category "Main" replaced by target, texts as read. Stops at the store
// size (storeFull; the cards before stay). The view is folded back first, so
// its edits are among the file's cards, and loaded again after, so it shows
// the open category with whatever joined it.
InsertResult insertFile(const QString &path, Deck &deck, const QString &target);
InsertResult insertBytes(std::string_view bytes, Deck &deck, const QString &target);

// --- Copy to file

// Shown with the caption "Mnemodeck".
inline const QString kCopyNoCard =
    QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "To copy a card, you must be viewing the card you wish to copy."));

// The full path a copy destination typed or chosen in the dialog names:
// ".MDK" appended when it has no dot; then ".mdk" appended unless its
// lower-case form contains ".mdk". The name keeps its letter case; a
// relative name is taken in dir.
QString copyTarget(const QString &destination, const QString &dir);

// Appends one card (side 1, side 2, "Main", texts unchanged) to the card
// file at path. A missing file is created as an empty card file plus the
// card; a file that exists but cannot be read or is not a current card file
// is refused and left untouched; a file cut off inside a card is completed
// (missing fields as empty fields) before the card. The card is appended in
// place, without rewriting the file, and a failed write cuts the file back
// to its old length. It is written in the file's own encoding; a text the
// file's Windows-1252 cannot hold (or bytes that would then read back as
// UTF-8) rewrite the whole file as UTF-8 through writeFileSafely.
WriteResult appendCard(const QString &path, const QString &side1, const QString &side2);

} // namespace mdk::transfer
