#pragma once

#include "core/deck/deck.h"
#include "core/deck/safewrite.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// The recovery copy: while the deck differs from its file, a copy of what
// Save would write is kept in the state folder, so a crash loses at most
// the last few seconds. Each copy is a card file and a small JSON metadata
// file naming the deck's file (by canonical path and its identity when it
// was loaded), the time, the card count, the open category and the writer.
namespace mdk::recovery {

// Which file is at a path: a different file put there (a save by another
// program replaces the inode) is not the one a copy was made from.
struct FileIdentity {
    qint64 size = -1; // -1: no such file
    qint64 mtimeMs = 0;
    quint64 inode = 0;
    bool exists() const { return size >= 0; }
    bool operator==(const FileIdentity &) const = default;
};
FileIdentity identityOf(const QString &path);

// The process that writes a copy: its pid, machine and start time (clock
// ticks after boot, 0 when unknown), so a pid the system gave to another
// process since is not taken for the writer.
struct Writer {
    qint64 pid = 0;
    QString host;
    quint64 start = 0;
    bool operator==(const Writer &) const = default;
};
Writer thisProcess();
// When the process of pid started, in clock ticks after boot; 0 when it
// does not run, is a zombie (killed, not yet reaped: it writes nothing
// more) or cannot be asked.
quint64 processStart(qint64 pid);
// True while the writer runs on this machine: its pid lives, is no
// zombie, and (when its start is known) started when the writer did.
bool processAlive(const Writer &writer);

struct Meta {
    QString path; // canonical path of the deck's file; empty for a new deck
    FileIdentity identity;
    QDateTime time;
    qint64 cards = 0;
    QString category;
    Writer writer;
};
QByteArray writeMeta(const Meta &meta);
// Nothing unless the bytes are a complete metadata record; never trusts a
// size, so a malformed or huge file only fails.
std::optional<Meta> readMeta(const QByteArray &bytes);
// Metadata files larger than this are not read at all.
constexpr qint64 kMaxMetaBytes = 64 * 1024;

// $XDG_STATE_HOME/mnemodeck/recovery, else ~/.local/state/mnemodeck/recovery.
QString standardFolder();

// The base name (without extension) of a copy: the path's hash for a file,
// "new-<pid>-<start>" for a deck never saved; both carry the writer (and
// its start), so two programs on one file keep two copies and never replace
// each other's, even when the second was given the first one's pid.
QString copyName(const QString &canonicalPath, const Writer &writer, qint64 startMs);

struct Copy {
    QString deckFile; // the card file
    QString metaFile;
    Meta meta;
};
// Every complete copy in folder (metadata readable and its card file there).
std::vector<Copy> listCopies(const QString &folder);
// Deletes a copy's two files; false when another process wrote it.
bool removeCopy(const Copy &copy, const Writer &self);

// What a leftover copy is offered as: for its file (the same file is still
// there), or as a new deck (none was saved, or the file is gone or another).
enum class OfferAs { File, NewDeck };
struct Offer {
    Copy copy;
    OfferAs as = OfferAs::NewDeck;
};

// The world the offer rules look at, injectable for tests.
struct World {
    Writer self;
    std::function<bool(const Writer &writer)> alive = processAlive;
    std::function<FileIdentity(const QString &path)> identity = identityOf;
};
// The copies to offer at start-up, newest first: those whose writer on this
// machine is dead (a copy of a live program, or of another machine, is left
// alone). They are asked about one at a time, and once one is recovered no
// other is asked about in that run.
std::vector<Offer> offersAtStartup(const std::vector<Copy> &copies, const World &world);
// The copy to offer when canonicalPath is opened: a dead writer's copy of
// that same file, newer than the file; the newest one.
std::optional<Offer> offerForFile(const std::vector<Copy> &copies, const QString &canonicalPath,
                                  const World &world);

// "Unsaved changes to NAME from TIME (N cards) were found. Recover them?",
// with the count in the locale's digits and the singular for one card.
QString question(const Offer &offer);

// What Save would write, gathered from the deck in slices on the window's
// thread: copying a text costs a reference count, and a million cards at
// once would pause the window for tens of milliseconds. The file's cards
// outside the open category, then the open category's (the view's, or in
// subcategory mode the selected category's file cards, as leaving the mode
// before a save gives). The deck must not change between slices: the
// caller starts again when it does.
class Snapshot {
public:
    explicit Snapshot(const Deck &deck);
    // Copies up to `cards` more cards; true once every card is copied.
    bool gather(const Deck &deck, int cards);
    int cardCount() const { return int(cards_.size()); }
    const QString &openCategory() const { return open_; }
    // The deck Save would write: tree, encoding and cards (any thread).
    Deck toDeck() const;

private:
    struct Card {
        QString side1, side2;
        int category; // index into names_
    };
    int nameIndex(const QString &name);

    CategoryTree tree_;
    TextEncoding encoding_;
    QString open_;
    bool openFromView_;
    int phase_ = 0; // 0 the other categories, 1 the open one, 2 done
    int next_ = 0;
    std::vector<Card> cards_;
    std::vector<QString> names_;
    // The name last seen, by address (a deck keeps each name once).
    const QString *lastName_ = nullptr;
    int lastIndex_ = -1;
    bool lastOpen_ = false;
};

// The card file and the metadata of a copy, through the safe writer (the
// card file first, so a metadata file always names a complete copy).
WriteResult writeCopy(const Snapshot &snapshot, Meta meta, const QString &folder, const QString &baseName);

// The debounce: a change restarts the wait; a copy is due when the deck
// still differs from its file and nothing changed for the interval.
struct DeckStamp {
    quint64 view = 0, tree = 0;
    bool differs = false;
    bool operator==(const DeckStamp &) const = default;
};
enum class Step { Nothing, Schedule, Remove };
// What to do after a command, given the deck before and after it.
Step afterCommand(const DeckStamp &before, const DeckStamp &now, bool enabled);

} // namespace mdk::recovery
