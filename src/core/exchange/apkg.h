#pragma once

#include "exchange.h"

#include <QString>

#include <string_view>
#include <vector>

// Flashcard packages (.apkg, and whole collections as .colpkg): a zip
// archive holding an SQLite collection in one of three layouts
// (collection.anki2, collection.anki21, or the zstd-compressed
// collection.anki21b with its note types in tables of their own), a media
// list and the media files. The reader behind parse() and the writer behind
// exportFile().
namespace mdk::exchange {

// A zip archive's first bytes.
bool looksLikePackage(std::string_view bytes);

// The limits a package is read under: what the collection may expand to
// (counted while it is unpacked, never taken from the archive's header),
// the media list, and one note's fields.
inline constexpr qint64 kMaxCollectionBytes = qint64(2) << 30;
// The collection's limit in force (kMaxCollectionBytes; tests lower it).
qint64 &collectionLimit();
inline constexpr qint64 kMaxMediaListBytes = qint64(64) << 20;
inline constexpr qsizetype kMaxNoteBytes = qsizetype(1) << 20;

// Reads the package at path (or held in bytes). Each card of the
// collection becomes a card in the result (cloze notes one per number),
// decks nested categories, the review log result.reviews; whatever was
// left out or changed is said in result.note.
void readPackageFile(const QString &path, const ImportOptions &options, ParsedImport &result,
                     const Progress &progress);
void readPackage(std::string_view bytes, const ImportOptions &options, ParsedImport &result,
                 const Progress &progress);

// An answer from our own review history, for the package's review log.
struct ExportReview {
    qint64 key = 0; // review::cardKey of the card's sides
    qint64 day = 0; // Julian day
    bool knew = false;
};

// Every review the progress store at storePath holds (none when it cannot
// be read).
std::vector<ExportReview> storedReviews(const QString &storePath);

// Writes the set as a package in the oldest layout (collection.anki2 only):
// one note type "Mnemodeck" with the fields "Side 1" and "Side 2" and one
// template; each category a deck named with "::" between levels; the
// reviews of the exported cards as review-log rows.
WriteResult writePackage(const ExportSet &set, const std::vector<ExportReview> &reviews, const QString &path,
                         const Progress &progress = {});

} // namespace mdk::exchange
