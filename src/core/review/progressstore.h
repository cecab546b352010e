#pragma once

#include "cardtable.h"
#include "fsrs.h"
#include "fsrsoptimiser.h"
#include "leitner.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <future>
#include <thread>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

struct sqlite3;

namespace mdk::review {

// One answer as the statistics need it.
struct StoredReview {
    qint64 id = 0;
    qint64 key = 0;
    qint64 day = 0;
    bool knew = false;
};

enum class ReadOutcome { Read, Damaged, Failed };

// Which scheduler's due days rounds and statistics follow. Both are kept
// for every card on every answer, so the choice can change at any time.
enum class SchedulerKind { Fsrs, Leitner };

// What the first reading of the store found: the cards first...
struct ReadCards {
    CardTable cards;
    std::vector<StoredReview> reviews; // those read again since
    qint64 lastReview = 0;             // the highest review and change numbers seen
    qint64 lastChange = 0;
    ReadOutcome outcome = ReadOutcome::Read;
    QString error; // when Failed
};

// ...then every review up to lastReview.
struct ReadReviews {
    std::vector<StoredReview> reviews;
    ReadOutcome outcome = ReadOutcome::Read;
    QString error;
};

// What the reviews taught, kept outside the card file in an SQLite database
// (WAL, one short transaction per answer). Progress is kept per card key
// (see cardkey.h), so every file holding a card shares it; the reviews name
// the deck (by canonical path) they were given in.
//
// Two programs may use one store at once: each answer is computed from the
// card's state as stored at that moment, inside the answer's write
// transaction, and whatever another program committed is read again (the
// changed cards only) before the store's states are used.
//
// Nothing here ever stops a round: a database locked by another program
// (after waiting 2 s), a damaged one (set aside, a new one started, also
// when the damage is found only by reading it) or a folder that cannot be
// written leaves the store not saving, with one notice for the user. A
// store that can be read but not written is read read-only: its progress
// counts, answers are not kept.
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
    // The store could be read but not written: it stays so.
    bool readOnly() const { return readOnly_; }
    // The first read is done (nothing would wait for it).
    bool isRead() const;
    // The stored progress could be read (else nothing may be taken as new).
    bool readable();
    // What the user should be told once (empty when nothing); taking it
    // clears it. Damage found by the first read is told after that read:
    // call after states() or readable().
    QString takeNotice();

    // The states of the given cards, in the same order (new cards: box 0).
    // Every stored card is read once, on a thread of its own from the
    // moment the store opens (the first call waits for the rest of it);
    // what another program changed since is read again first.
    std::vector<CardState> states(const std::vector<qint64> &keys);
    // Every stored card's state, as of now.
    const CardTable &knownCards();
    // Reads again what another program committed since the last look.
    void refresh();
    // Every stored review, as of now (waits for the first read's end).
    const std::vector<StoredReview> &recentReviews();

    // The deck's number for a card file (its canonical path), registered on
    // first use; 0 when it is not known and cannot be registered.
    qint64 deckId(const QString &cardFile);
    // The scheduler whose states states() hands out, and the hour a review
    // day starts (the memory model's due days are counted from it).
    void setScheduling(SchedulerKind kind, int dayStartHour);
    SchedulerKind scheduler() const { return scheduler_; }
    // A stored state as the chosen scheduler sees it (box: the phase of the
    // memory model, 0 for new).
    CardState scheduled(const CardState &state) const;

    // The memory model's settings, kept in the store (they belong to the
    // learner's reviews, not to one program's settings).
    const fsrs::Settings &fsrsSettings() const { return fsrs_; }
    // New settings: every card's memory is recomputed from its log, on the
    // caller's thread (call it from a worker), with progress (0..1;
    // returning false cancels and changes nothing). False when it could not
    // be kept.
    bool reschedule(const fsrs::Settings &settings, const std::function<bool(double)> &progress = {});
    // Every stored card's log of graded answers, for fitting the model.
    std::vector<std::pair<qint64, fsrs::CardLog>> reviewLogs();
    // The memory model's full state of each card (new cards: State::New).
    std::vector<fsrs::Card> memory(const std::vector<qint64> &keys);
    // Answers the card with a grade of the memory model: both schedulers'
    // states are computed from the stored ones in the answer's transaction
    // (the boxes count Again as not known, any other grade as known).
    Answer answer(qint64 deck, qint64 key, fsrs::Grade grade, const QDateTime &at, qint64 day);
    // What each grade would give the card now (Again..Easy).
    std::array<fsrs::Card, 4> preview(qint64 key, const QDateTime &at, qint64 day);

    // Answers the card: its new state is computed from the state stored at
    // this moment (another program's answers count), kept with one review
    // line in one transaction. When it cannot be kept, the answer is
    // computed from what this store knows and the store stops saving.
    Answer answer(qint64 deck, qint64 key, bool knew, const QDateTime &at, qint64 day);
    // Takes an answer back: the card returns to its state before, when
    // nothing else changed it since. False when it could not be.
    bool takeBack(qint64 key, const Answer &answer);
    // Stores a state as is, with one review line (tests, imports of
    // progress). False when it was not saved.
    bool record(qint64 deck, qint64 key, const CardState &state, bool knew, const QDateTime &at);

    // A card's text changed in the program (edit, or its undo): what the
    // old text had learnt, its state and its reviews, is given to the new
    // text. The old text keeps its own for other cards that still have it.
    bool follow(qint64 fromKey, qint64 toKey);
    // Several at once, in one transaction.
    bool follow(const std::vector<std::pair<qint64, qint64>> &changes);
    // The store may hold cards under legacyCardKey (it was written by an
    // earlier version).
    bool hasLegacyKeys() const { return legacy_; }

    // The cards each deck held when it was last seen (reviewed, counted,
    // saved), so the statistics of all decks count only cards that exist.
    void setDeckCards(qint64 deck, const std::vector<qint64> &keys);
    // The cards of the decks whose file still exists (but exceptDeck's),
    // one after another.
    std::vector<qint64> existingCards(qint64 exceptDeck = 0);

    struct DeckEntry {
        qint64 id = 0;
        QString path;
        int cards = 0; // cards when it was last seen
    };
    std::vector<DeckEntry> decks();
    // A card file renamed or moved: the deck's reviews follow it to newPath.
    bool reattach(qint64 id, const QString &newPath);

    struct Review {
        qint64 key = 0;
        qint64 day = 0;
        bool knew = false;
    };
    // Every review given on day from or later, read from the database.
    std::vector<Review> reviewsSince(qint64 from);

private:
    enum class Failure { None, Busy, Damaged, ReadOnly, Other };
    Failure openConnection(bool readOnly);
    void closeConnection();
    bool setAside();
    void startOver();
    void stopSaving(const QString &why);
    void failWrite(int code);
    void readVersions(bool writable);
    void startLoading();
    void load();
    void loadReviews();
    void failRead(const QString &error);
    CardState cached(qint64 key) const;
    bool convert();
    bool readFsrsSettings();
    fsrs::Card storedMemory(qint64 key, bool *ok = nullptr);
    bool replayAll(const fsrs::Settings &settings, const std::function<bool(double)> &progress);
    qint64 memoryDay(qint64 ms) const;

    QString path_;
    sqlite3 *db_ = nullptr;
    bool saving_ = false;
    bool readOnly_ = false;
    bool legacy_ = false;
    bool uri_ = false; // read as a file that does not change
    SchedulerKind scheduler_ = SchedulerKind::Leitner;
    int dayStartHour_ = 0;
    fsrs::Settings fsrs_;
    std::vector<std::pair<qint64, std::pair<int, qint64>>> pending_; // memory recomputed, not yet cached
    QString notice_;
    bool loaded_ = false;
    bool readable_ = true;
    bool dirty_ = false; // this store wrote since its last look
    qint64 dataVersion_ = -1;
    ReadCards cache_;
    bool reviewsLoaded_ = false;
    std::thread reader_;
    std::future<ReadCards> loading_;
    std::future<ReadReviews> reviewsLoading_;
};

// The canonical form under which a deck is known.
QString deckPath(const QString &cardFile);

} // namespace mdk::review
