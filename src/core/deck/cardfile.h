#pragma once

#include "deck.h"
#include "safewrite.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <string_view>

namespace mdk::cardfile {

inline constexpr char kTerminator = 0x07;
// Larger files are refused instead of being read into memory.
inline constexpr qint64 kMaxFileSize = qint64(1) << 31;

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

private:
    QFile file_;
    uchar *mapped_ = nullptr;
    QByteArray copy_;
    std::string_view bytes_;
};

// Adds the categories and cards of the card file held in bytes to the deck,
// decoding the file in its own encoding. Without graftUnder the category
// records are attached as a fresh deck takes them. With it (Paste from), a
// record whose name the tree already carries joins that node, and "Main",
// as a parent or as a card's category, stands for graftUnder. Cards are
// appended until the store is full. release(offset), when given, may let go
// of the bytes before offset. The view is not touched.
LoadReport addCardFile(std::string_view bytes, Deck &deck, const QString *graftUnder,
                       const std::function<void(size_t)> &release = {});

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
QByteArray emptyFile();

} // namespace mdk::cardfile
