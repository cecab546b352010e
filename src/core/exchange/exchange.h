#pragma once

#include "core/deck/deck.h"
#include "core/deck/safewrite.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <string_view>
#include <vector>

// Cards in and out of other programs' files: delimited text (CSV and the
// like), the plain-text exports of flashcard programs, and KDE vocabulary
// documents (.kvtml). Reading never touches the deck: it gives the cards
// and categories it found, and applyImport then adds them in one go.
namespace mdk::exchange {

enum class Format { Auto, Delimited, TextExport, Kvtml, Apkg };
enum class Encoding { Auto, Utf8, Utf16, Windows1252 };
enum class Header { Auto, Yes, No };
enum class Duplicates { Add, Skip, Update };

// Column numbers are counted from 0 here (from 1 on the command line).
inline constexpr int kNoColumn = -1;
// The category column is the one whose header reads "category", if any.
inline constexpr int kColumnFromHeader = -2;

struct ImportOptions {
    Format format = Format::Auto;
    Encoding encoding = Encoding::Auto;
    Header header = Header::Auto;
    QChar delimiter; // null: detected from the first lines
    int side1Column = 0;
    int side2Column = 1;
    int categoryColumn = kColumnFromHeader;
    // Stop after this many cards (the preview); -1 for all.
    int maxCards = -1;
    // The bytes are only the start of the file (the preview): a record or
    // an element cut off at their end is not a fault.
    bool truncated = false;
};

// A category to create: below another imported one (parent is its index)
// or below the import's target (parent -1). A name the tree already holds
// joins that node wherever it is, as Paste from does.
struct ImportedCategory {
    QString name;
    int parent = -1;
    // A vocabulary lesson: joining its parent (a lesson named like the
    // target) is a merge the summary tells too.
    bool lesson = false;
};

struct ImportedCard {
    QString side1, side2;
    int category = -1; // an index into categories, or -1 for the target
};

// The cards read, in order: a deque, so that adding them to a deck can let
// them go as it goes (applyImportReleasing). reserve does nothing; it
// keeps code written for a vector working.
struct CardList : std::deque<ImportedCard> {
    using std::deque<ImportedCard>::deque;
    void reserve(size_t) {}
};

// A review from another program's history (a package's review log), kept
// for the progress store.
struct ImportedReview {
    int card = 0;       // index into cards
    qint64 time = 0;    // ms since the epoch
    int grade = 0;      // 1 (again) to 4 (easy)
    int interval = 0;   // days after the review (negative: seconds)
    int factor = 0;     // ease in permille
    int duration = 0;   // ms spent answering
    int kind = 0;       // 0 learning, 1 review, 2 relearning, 3 filtered, 4 rescheduled
};

struct ParsedImport {
    // What was used: the detections, or the choices that replaced them.
    Format format = Format::Delimited;
    Encoding encoding = Encoding::Utf8;
    QChar delimiter = QLatin1Char(',');
    bool header = false;
    QStringList headerFields; // the first record, when it is a header
    int columns = 0;          // the widest record seen
    int categoryColumn = kNoColumn; // the one used, from the header or as chosen
    int side1Column = 0, side2Column = 1; // the ones used (a text export's directives may move them)

    std::vector<ImportedCategory> categories;
    CardList cards;
    std::vector<ImportedReview> reviews; // packages only, oldest first

    int unreadable = 0;     // lines that gave no card
    qint64 firstBadLine = 0; // from 1
    QString firstBadReason;
    int leftOut = 0;         // a vocabulary's forms and notes of words that are no cards
    QStringList repeatedIds; // vocabulary entry ids used more than once
    QString note;  // said after the summary (an encoding fallback)
    QString error; // why nothing at all can be imported
    bool cancelled = false;
};

// Called now and then with the bytes read so far and the total; returning
// false cancels (the deck is not touched until applyImport).
using Progress = std::function<bool(qint64 done, qint64 total)>;

// The encoding of a file's start: a UTF-8 or UTF-16 byte-order mark, else
// valid UTF-8, else Windows-1252.
Encoding detectEncoding(std::string_view bytes);
// The format the bytes look like; fileName's extension counts too.
Format detectFormat(std::string_view bytes, const QString &fileName = QString());

// Reads cards from bytes. Every fault is reported in the result; nothing
// here can fail on malformed input.
ParsedImport parse(std::string_view bytes, const ImportOptions &options, const QString &fileName = QString(),
                   const Progress &progress = {});
// The same for a file (read whole up to 2 GiB; larger ones are refused).
ParsedImport parseFile(const QString &path, const ImportOptions &options, const Progress &progress = {});
// The preview: only the start of the file, up to options.maxCards cards.
ParsedImport parsePreview(const QString &path, ImportOptions options, int cards = 20);

struct ImportSummary {
    int added = 0, skipped = 0, updated = 0;
    bool storeFull = false; // the deck filled up; the cards after were left
    bool cancelled = false; // stopped while adding: the deck is as it was
    // Imported categories that joined one of the same name elsewhere in the
    // tree (names are unique there), each once.
    QStringList joined;
};

// Adds the parsed cards to the deck, their categories below target (a node
// name; "Main" when unknown), as ONE change: the view is folded back first
// and shown again after. A card whose side 1 is already in the category it
// goes to (an existing card, or one added earlier by this import) is added
// anyway, skipped, or has its side 2 replaced, as duplicates says; a
// replacement by the same text counts as skipped. Not in subcategory mode.
ImportSummary applyImport(const ParsedImport &parsed, Deck &deck, const QString &target,
                          Duplicates duplicates, const Progress &progress = {});
// The same, taking each card out of parsed as it goes into the deck, so that
// a large import does not hold its cards twice. The rest of parsed (what
// summaryText needs) stays.
ImportSummary applyImportReleasing(ParsedImport &parsed, Deck &deck, const QString &target,
                                   Duplicates duplicates, const Progress &progress = {});

// "N cards added, M skipped, K updated; L lines could not be read (the
// first at line X: reason)", then what was left out or merged, then any
// note.
QString summaryText(const ImportSummary &summary, const ParsedImport &parsed);

// --- Export

enum class Scope { Category, CategoryAndSubcategories, All };
enum class ExportFormat { Csv, Text, Kvtml, Apkg };

struct ExportCategory {
    QString name;
    int parent = -1; // index; -1 for the first, the export's top
};
// The texts are the deck's own: an ExportSet is good until the deck changes.
struct ExportCard {
    const QString *side1, *side2, *category;
    int node = -1; // index into categories; -1 for a card of no category
};
struct ExportSet {
    std::vector<ExportCategory> categories; // pre-order, the top first
    std::vector<ExportCard> cards;
};

// The cards of the scope as a save would write them, read without changing
// the deck: All gives the file's cards with the open category's as the
// view holds them last; Category the open category's; with its
// subcategories, their cards follow in tree order.
ExportSet cardsToExport(const Deck &deck, Scope scope);

// The file's bytes: CSV (UTF-8, RFC 4180, CR LF, header "side 1,side 2,
// category"), tab-separated text (UTF-8, with directives, sides as HTML so
// that tabs and line breaks survive), or a KDE vocabulary document
// (version 2: the categories below the top as nested lessons).
QByteArray exportBytes(const ExportSet &set, ExportFormat format);
WriteResult exportFile(const ExportSet &set, ExportFormat format, const QString &path);

// The plain text of an HTML side: <br> a line break, the edges of blocks
// (<div>, <p>, <li> and the like) one line break between texts, other tags
// dropped, every HTML5 named entity and numeric reference decoded.
QString htmlToText(QStringView html);

} // namespace mdk::exchange
