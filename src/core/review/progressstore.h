#pragma once

#include "cardtable.h"
#include "leitner.h"

#include <QDateTime>
#include <QString>

#include <future>
#include <utility>
#include <vector>

namespace mdk::review {

// The stored cards as the reading thread found them.
struct ReadCards {
    CardTable cards;
    bool damaged = false;
};

// What the reviews taught, kept outside the card file in an SQLite database
// (Qt SQL's driver, WAL, one short transaction per answer). Progress is kept
// per card text, so every file holding a card shares it; the reviews name
// the deck (by canonical path) they were given in.
//
// Nothing here ever stops a round: a database locked by another program
// (after waiting 2 s), a damaged one (set aside, a new one started) or a
// folder that cannot be written leaves the store not saving, with one
// notice for the user.
class ProgressStore {
public:
    // MNEMODECK_PROGRESS when set (tests and scripts), else
    // $XDG_DATA_HOME/mnemodeck/progress.sqlite (~/.local/share when unset).
    static QString defaultPath();

    explicit ProgressStore(const QString &path = defaultPath());
    ~ProgressStore();
    ProgressStore(const ProgressStore &) = delete;
    ProgressStore &operator=(const ProgressStore &) = delete;

    const QString &path() const { return path_; }
    // Answers are being written.
    bool saving() const { return saving_; }
    // What the user should be told once (empty when nothing); taking it
    // clears it.
    QString takeNotice();

    // The states of the given cards, in the same order (new cards: box 0).
    // Every stored card is read once, on a thread of its own from the
    // moment the store opens (the first call waits for the rest of it);
    // answers keep it current.
    std::vector<CardState> states(const std::vector<qint64> &keys);
    // Every stored card's state.
    std::vector<CardState> allStates();

    // The deck's number for a card file (its canonical path), registered on
    // first use; 0 when not saving.
    qint64 deckId(const QString &cardFile);
    // Stores an answer: the card's new state and one review line, in one
    // transaction. False when it was not saved; the store then stops saving
    // and says why once.
    bool record(qint64 deck, qint64 key, const CardState &state, bool knew, const QDateTime &at);

    struct DeckEntry {
        qint64 id = 0;
        QString path;
    };
    std::vector<DeckEntry> decks();
    // A card file renamed or moved: the deck's reviews follow it to newPath.
    bool reattach(qint64 id, const QString &newPath);

    struct Review {
        qint64 key = 0;
        qint64 day = 0;
        bool knew = false;
    };
    // Every review given on day from or later.
    std::vector<Review> reviewsSince(qint64 from);

private:
    enum class Failure { None, Busy, Damaged, ReadOnly, Other };
    Failure openConnection();
    void closeConnection();
    bool setAside();
    void stopSaving(const QString &why);
    void startLoading();
    void load();

    QString path_;
    QString connection_;
    bool open_ = false;
    bool saving_ = false;
    QString notice_;
    bool loaded_ = false;
    CardTable cache_;
    std::future<ReadCards> loading_;
    std::vector<std::pair<qint64, CardState>> pending_; // answers while loading
};

// The canonical form under which a deck is known.
QString deckPath(const QString &cardFile);

} // namespace mdk::review
