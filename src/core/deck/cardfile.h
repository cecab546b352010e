#pragma once

#include "deck.h"
#include "safewrite.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string_view>

namespace mdk::cardfile {

inline constexpr char kTerminator = 0x07;
// Larger files are refused instead of being read into memory.
inline constexpr qint64 kMaxFileSize = qint64(1) << 31;
// The first three fields of every card file: one category, the signature.
inline constexpr std::string_view kHeader = "1\aMain\aRoot\a";

// Opens path for reading only when it is a regular file. A FIFO or device
// would block the open or never end, so it is refused unopened (and checked
// again on the descriptor, in case the name changed in between). false
// with the reason in error otherwise.
bool openForReading(QFile &file, const QString &path, QString *error = nullptr);
// Whether openForReading would succeed; nothing stays open.
bool canRead(const QString &path);

// Reads the 0x07-terminated fields of a card file one after another.
class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : bytes_(bytes) {}
    // The next field without its terminator; false at the end of the data.
    // A last field without terminator is still returned.
    bool next(std::string_view &field);
    // The next card record; false at the end of the data. Fields missing
    // from a record the file cuts short are empty.
    bool nextCard(std::string_view &side1, std::string_view &side2, std::string_view &category)
    {
        if (!next(side1))
            return false;
        if (!next(side2))
            side2 = {};
        if (!next(category))
            category = {};
        return true;
    }
    bool atEnd() const { return pos_ >= bytes_.size(); }
    std::string_view remaining() const { return atEnd() ? std::string_view() : bytes_.substr(pos_); }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
};

// Appends card-file fields to out in one encoding, whatever encoding the
// texts come in. A field never holds 0x07 or NUL: they would end or split
// it, so they are dropped. Every writer of card-file bytes goes through it.
class FieldWriter {
public:
    FieldWriter(TextEncoding target, QByteArray &out) : target_(target), out_(out) {}

    TextEncoding encoding() const { return target_; }
    // A text and its terminator; false (nothing written) when the text has
    // no Windows-1252 form. An empty text is written as a single space when
    // spaceIfEmpty is set.
    bool text(const QString &text, bool spaceIfEmpty = false);
    // A field's bytes, in the encoding from, and its terminator; false as
    // for text().
    bool field(std::string_view bytes, TextEncoding from);
    // Whole fields with their terminators (a file's own bytes), NUL dropped.
    bool fields(std::string_view bytes, TextEncoding from);
    // Bytes that are already card-file bytes in any encoding (the header,
    // "Main" and terminators).
    void raw(std::string_view bytes) { out_.append(bytes.data(), qsizetype(bytes.size())); }
    void terminator() { out_.append(kTerminator); }

private:
    bool copy(std::string_view bytes, TextEncoding from, bool dropTerminators);

    TextEncoding target_;
    QByteArray &out_;
};

// The category field of every card a merge, a copy or a conversion writes.
inline constexpr std::string_view kMainField = "Main\a";

enum class Format { Current, Earlier, NotFound };

// Current when field 2 is exactly "Main" and field 3 exactly "Root".
Format testFormat(std::string_view bytes);
Format testFormatOfFile(const QString &path);

struct LoadReport {
    bool storeFull = false; // the lists filled up; the cards before stay
    int cards = 0;          // cards in the file-level lists
    TextEncoding encoding = TextEncoding::Windows1252; // how the file was encoded
};

// The number at the start of a count field; garbage counts as 0.
int leadingCount(std::string_view field);

// A file's bytes, mapped when possible so that a large file costs no copy;
// release() hands back the pages already read.
class FileBytes {
public:
    // False (with the reason in error) when the file cannot be read or is
    // too large to be a card file.
    bool open(const QString &path, QString *error = nullptr);
    std::string_view bytes() const { return bytes_; }
    // Lets go of the pages before offset.
    void release(size_t offset);
    // Lets go of the pages before field once reading has moved far enough
    // past the last release, so that a long read keeps little resident.
    void releaseUpTo(std::string_view field);

private:
    QFile file_;
    uchar *mapped_ = nullptr;
    QByteArray copy_;
    std::string_view bytes_;
    size_t released_ = 0;
};

class FileBytes;

// Adds the categories and cards of the card file held in bytes to the deck,
// decoding the file in its own encoding. Without graftUnder the category
// records are attached as a fresh deck takes them. With it (Paste from), a
// record whose name the tree already carries joins that node, and "Main",
// as a parent or as a card's category, stands for graftUnder. Cards are
// appended until the store is full. pages, when given, is the file that
// holds bytes; the pages already parsed are handed back as the reading goes
// on. The view is not touched.
LoadReport addCardFile(std::string_view bytes, Deck &deck, const QString *graftUnder, FileBytes *pages = nullptr);

// Replaces the deck with the card file held in bytes: the tree from the
// category records, every card in file order, the view of "Main", no marks,
// no deleted cards, the first card current, filehasbeensaved set.
LoadReport parse(std::string_view bytes, Deck &deck);

struct ReadResult {
    bool opened = false;
    QString error; // why the file could not be read
    LoadReport report;
};

// Reads the whole file and parses it; the deck is untouched unless it was
// read.
ReadResult read(const QString &path, Deck &deck);

// The bytes of the whole deck: the tree and the file-level cards as they
// are. The caller folds the view back first (Deck::WriteBackView) when the
// view's edits are to be saved. encodingUsed receives the encoding written:
// text that Windows-1252 cannot hold makes the file UTF-8.
QByteArray serializeDeck(const Deck &deck, TextEncoding *encodingUsed = nullptr);
// The selected category and its descendants as a file of their own, in
// which the category becomes "Main". The deck is not changed.
QByteArray serializeCategory(const Deck &deck, CategoryTree::NodeId selected);

// Full-deck and category writers: the file on disk is only replaced by a
// complete new one. After a successful write, encodingUsed (if given)
// receives the encoding written; the caller gives it to the deck so that
// later saves keep writing the way this one did.
WriteResult writeDeck(const Deck &deck, const QString &path, TextEncoding *encodingUsed = nullptr);
WriteResult writeCategory(const Deck &deck, CategoryTree::NodeId selected, const QString &path);

// The empty card file: one category, no cards.
inline QByteArray emptyFile()
{
    return QByteArray(kHeader.data(), qsizetype(kHeader.size()));
}

} // namespace mdk::cardfile
