#include "progressstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

namespace mdk::review {

namespace {

const char *const kSchema[] = {
    "PRAGMA journal_mode=WAL",
    "PRAGMA synchronous=NORMAL",
    "CREATE TABLE IF NOT EXISTS decks(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE)",
    // Beside the box, the memory model's state of the card (see memoryColumns).
    "CREATE TABLE IF NOT EXISTS progress(card INTEGER PRIMARY KEY, box INTEGER NOT NULL, due INTEGER NOT NULL,"
    " phase INTEGER NOT NULL DEFAULT 0, stability REAL NOT NULL DEFAULT 0, difficulty REAL NOT NULL DEFAULT 0,"
    " mdue INTEGER NOT NULL DEFAULT 0, mday INTEGER NOT NULL DEFAULT 0, last INTEGER NOT NULL DEFAULT 0,"
    " last_day INTEGER NOT NULL DEFAULT 0, scheduled INTEGER NOT NULL DEFAULT 0, elapsed INTEGER NOT NULL DEFAULT 0,"
    " step INTEGER NOT NULL DEFAULT 0, reps INTEGER NOT NULL DEFAULT 0, lapses INTEGER NOT NULL DEFAULT 0)",
    // grade: 1..4 (Again, Hard, Good, Easy); a two-button answer is Again or Good.
    "CREATE TABLE IF NOT EXISTS reviews(id INTEGER PRIMARY KEY, deck INTEGER NOT NULL, card INTEGER NOT NULL,"
    " day INTEGER NOT NULL, at INTEGER NOT NULL, knew INTEGER NOT NULL, box INTEGER NOT NULL,"
    " grade INTEGER NOT NULL DEFAULT 0)",
    // Covering: the statistics read a range of days without a lookup per row.
    "CREATE INDEX IF NOT EXISTS reviews_by_day ON reviews(day, card, knew)",
    // A card's whole log, for a card whose text changed.
    "CREATE INDEX IF NOT EXISTS reviews_by_card ON reviews(card)",
    // Every card whose progress was written, in order: another program
    // reads again only what changed since it last looked.
    "CREATE TABLE IF NOT EXISTS changes(id INTEGER PRIMARY KEY AUTOINCREMENT, card INTEGER NOT NULL)",
    // The cards of each deck when it was last seen, as packed keys.
    "CREATE TABLE IF NOT EXISTS deck_cards(deck INTEGER PRIMARY KEY, count INTEGER NOT NULL,"
    " digest INTEGER NOT NULL, keys BLOB NOT NULL)",
};

QString lockedNotice()
{
    return QCoreApplication::translate("Mnemodeck", "The review progress is in use by another program; answers are not saved.");
}

QString readOnlyNotice()
{
    return QCoreApplication::translate("Mnemodeck", "The data folder cannot be written; review progress is not saved.");
}

QString readOnlyStoreNotice()
{
    return QCoreApplication::translate("Mnemodeck", "The review progress cannot be written: it is read, but answers are not saved.");
}

QString damagedNotice()
{
    return QCoreApplication::translate("Mnemodeck", "The review progress is damaged; answers are not saved.");
}

// The memory model's columns of progress, in this order everywhere.
const char *const kMemoryColumns[] = {"phase", "stability", "difficulty", "mdue", "mday", "last",
                                      "last_day", "scheduled", "elapsed", "step", "reps", "lapses"};
constexpr int kMemoryColumnCount = 12;
#define MDK_MEMORY_COLUMNS "phase, stability, difficulty, mdue, mday, last, last_day, scheduled, elapsed, step, reps, lapses"
#define MDK_ALL_COLUMNS "card, box, due, " MDK_MEMORY_COLUMNS
#define MDK_ALL_VALUES "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?"

// The store as the memory model's scheduler settings: kept beside the reviews.
const char *const kSettingsTable = "fsrs_settings";

// One prepared statement; finalized when it goes.
class Statement {
public:
    Statement(sqlite3 *db, const char *sql)
    {
        if (db)
            sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    bool ok() const { return stmt_ != nullptr; }
    Statement &bind(int i, qint64 v)
    {
        sqlite3_bind_int64(stmt_, i, v);
        return *this;
    }
    Statement &bind(int i, double v)
    {
        sqlite3_bind_double(stmt_, i, v);
        return *this;
    }
    Statement &bind(int i, int v) { return bind(i, qint64(v)); }
    Statement &bind(int i, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(stmt_, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int step() { return stmt_ ? sqlite3_step(stmt_) : SQLITE_ERROR; }
    // Runs it to the end: true when it finished without error.
    bool run()
    {
        int rc;
        while ((rc = step()) == SQLITE_ROW) {
        }
        return rc == SQLITE_DONE;
    }
    void reset()
    {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    qint64 integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    double real(int column) const { return sqlite3_column_double(stmt_, column); }
    QString text(int column) const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column)),
                                 sqlite3_column_bytes(stmt_, column));
    }
    sqlite3_stmt *get() const { return stmt_; }

private:
    sqlite3_stmt *stmt_ = nullptr;
};

int lastCode(sqlite3 *db)
{
    return db ? sqlite3_extended_errcode(db) & 0xff : SQLITE_CANTOPEN;
}

bool exec(sqlite3 *db, const char *sql)
{
    return db && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool isDamage(int code)
{
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

// The address under which a store that cannot be written is read: a
// read-only folder cannot hold the shared-memory file WAL needs, so the
// file is taken as it is.
QByteArray immutableUri(const QString &path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?immutable=1";
}

sqlite3 *openReading(const QString &path, bool immutable)
{
    sqlite3 *db = nullptr;
    const QByteArray name = immutable ? immutableUri(path) : QFile::encodeName(path);
    const int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 2000);
    return db;
}

bool hasTable(sqlite3 *db, const char *name)
{
    Statement q(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    sqlite3_bind_text(q.get(), 1, name, -1, SQLITE_STATIC);
    return q.step() == SQLITE_ROW;
}

// The memory columns from column first on.
fsrs::Card memoryOf(const Statement &q, int first)
{
    fsrs::Card c;
    c.state = fsrs::State(std::clamp(int(q.integer(first)), 0, 3));
    c.stability = q.real(first + 1);
    c.difficulty = q.real(first + 2);
    c.due = q.integer(first + 3);
    // first + 4: the due day, which the store derives
    c.lastReview = q.integer(first + 5);
    c.lastReviewDay = q.integer(first + 6);
    c.scheduledDays = int(q.integer(first + 7));
    c.elapsedDays = int(q.integer(first + 8));
    c.learningStep = int(q.integer(first + 9));
    c.reps = int(q.integer(first + 10));
    c.lapses = int(q.integer(first + 11));
    return c;
}

void bindMemory(Statement &q, int first, const fsrs::Card &c, qint64 dueDay)
{
    q.bind(first, int(c.state)).bind(first + 1, c.stability).bind(first + 2, c.difficulty).bind(first + 3, c.due);
    q.bind(first + 4, dueDay).bind(first + 5, c.lastReview).bind(first + 6, c.lastReviewDay);
    q.bind(first + 7, c.scheduledDays).bind(first + 8, c.elapsedDays).bind(first + 9, c.learningStep);
    q.bind(first + 10, c.reps).bind(first + 11, c.lapses);
}

QString parametersText(const fsrs::Parameters &w)
{
    QStringList parts;
    for (double v : w)
        parts << QString::number(v, 'g', 17);
    return parts.join(QLatin1Char(' '));
}

// Every stored card, then every review, read in one snapshot on a
// connection of the reading thread's own. The cards are handed over as soon
// as they are read (a round needs no more); the reviews and a check of the
// whole file follow.
void readStore(QString path, bool immutable, std::promise<ReadCards> cardsRead, std::promise<ReadReviews> reviewsRead)
{
    ReadCards out;
    ReadReviews later;
    sqlite3 *db = openReading(path, immutable);
    bool cardsGiven = false;
    auto fail = [&] {
        const int code = lastCode(db);
        const ReadOutcome outcome = isDamage(code) ? ReadOutcome::Damaged : ReadOutcome::Failed;
        const QString error = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("cannot open");
        exec(db, "ROLLBACK");
        sqlite3_close(db);
        if (!cardsGiven) {
            out = ReadCards();
            out.outcome = outcome;
            out.error = error;
            cardsRead.set_value(std::move(out));
        }
        later = ReadReviews();
        later.outcome = outcome;
        later.error = error;
        reviewsRead.set_value(std::move(later));
    };
    if (!db || !exec(db, "BEGIN"))
        return fail();
    {
        Statement count(db, "SELECT count(*) FROM progress");
        if (count.step() != SQLITE_ROW)
            return fail();
        out.cards.reserve(size_t(count.integer(0)));
        // Two columns, not three: each value read costs more than the packing.
        // A store not yet converted (read read-only) has no memory columns.
        Statement q(db, hasTable(db, kSettingsTable) ? "SELECT card, due * 8 + box, mday * 4 + phase FROM progress"
                                                     : "SELECT card, due * 8 + box, 0 FROM progress");
        int rc;
        while ((rc = q.step()) == SQLITE_ROW) {
            const qint64 packed = q.integer(1);
            const qint64 memory = q.integer(2);
            out.cards.set(q.integer(0), CardState{int(packed & 7), packed >> 3, int(memory & 3), memory >> 2});
        }
        if (rc != SQLITE_DONE)
            return fail();
    }
    if (hasTable(db, "changes")) {
        Statement q(db, "SELECT coalesce(max(id), 0) FROM changes");
        if (q.step() != SQLITE_ROW)
            return fail();
        out.lastChange = q.integer(0);
    }
    {
        Statement last(db, "SELECT coalesce(max(id), 0) FROM reviews");
        if (last.step() != SQLITE_ROW)
            return fail();
        out.lastReview = last.integer(0);
    }
    const qint64 lastReview = out.lastReview;
    cardsRead.set_value(std::move(out));
    cardsGiven = true;
    {
        later.reviews.reserve(size_t(lastReview));
        Statement q(db, "SELECT id, card, day * 2 + knew FROM reviews");
        int rc;
        while ((rc = q.step()) == SQLITE_ROW) {
            const qint64 packed = q.integer(2);
            later.reviews.push_back(StoredReview{q.integer(0), q.integer(1), packed >> 1, (packed & 1) != 0});
        }
        if (rc != SQLITE_DONE)
            return fail();
    }
    // The whole file once more in the same snapshot: pages that no query
    // above touched (indexes, the deck tables) are damage too.
    {
        Statement check(db, "PRAGMA quick_check(1)");
        if (check.step() != SQLITE_ROW)
            return fail();
        if (check.text(0) != QLatin1String("ok")) {
            exec(db, "ROLLBACK");
            sqlite3_close(db);
            later = ReadReviews();
            later.outcome = ReadOutcome::Damaged;
            reviewsRead.set_value(std::move(later));
            return;
        }
    }
    exec(db, "COMMIT");
    sqlite3_close(db);
    reviewsRead.set_value(std::move(later));
}

CardState stateOf(Statement &q)
{
    return CardState{int(q.integer(0)), q.integer(1)};
}

// box, due, then the memory columns.
CardState fullStateOf(Statement &q)
{
    return CardState{int(q.integer(0)), q.integer(1), std::clamp(int(q.integer(2)), 0, 3), q.integer(6)};
}

} // namespace

QString deckPath(const QString &cardFile)
{
    const QFileInfo info(cardFile);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

QString ProgressStore::defaultPath()
{
    const QString chosen = qEnvironmentVariable("MNEMODECK_PROGRESS");
    if (!chosen.isEmpty())
        return chosen;
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/mnemodeck/progress.sqlite");
}

ProgressStore::ProgressStore(const QString &path) : path_(path)
{
    Failure failure = openConnection(false);
    if (failure == Failure::Damaged) {
        closeConnection();
        failure = setAside() ? openConnection(false) : Failure::Other;
    }
    if (failure == Failure::ReadOnly && QFileInfo::exists(path_)) {
        // The store is there but cannot be written: its progress still counts.
        closeConnection();
        failure = openConnection(true);
        if (failure == Failure::None) {
            readOnly_ = true;
            stopSaving(readOnlyStoreNotice());
        } else if (failure != Failure::Damaged) {
            failure = Failure::Other;
        }
    }
    startLoading();
    switch (failure) {
    case Failure::None: saving_ = !readOnly_; break;
    case Failure::Busy: stopSaving(lockedNotice()); break;
    case Failure::ReadOnly: stopSaving(readOnlyNotice()); break;
    case Failure::Damaged:
    case Failure::Other:
        stopSaving(QCoreApplication::translate("Mnemodeck", "The review progress cannot be opened; answers are not saved."));
        break;
    }
    // Progress that is there but could not be read is not taken as none.
    if (!db_ && failure != Failure::ReadOnly && QFileInfo::exists(path_))
        readable_ = false;
}

ProgressStore::~ProgressStore()
{
    if (reader_.joinable())
        reader_.join();
    closeConnection();
}

ProgressStore::Failure ProgressStore::openConnection(bool readOnly)
{
    auto classify = [](int code) {
        switch (code) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return Failure::Busy;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB: return Failure::Damaged;
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH: return Failure::ReadOnly;
        default: return Failure::Other;
        }
    };
    // A folder, a FIFO or a device where the store should be: SQLite
    // would wait for ever reading a FIFO.
    if (const QFileInfo info(path_); info.exists() && !info.isFile())
        return Failure::Other;
    if (readOnly) {
        // The usual way first (another program may be writing it), then
        // as a file that does not change.
        for (bool immutable : {false, true}) {
            db_ = openReading(path_, immutable);
            if (db_ && exec(db_, "SELECT 1 FROM progress LIMIT 1")) {
                uri_ = immutable;
                readFsrsSettings();
                readVersions(false);
                return Failure::None;
            }
            const Failure f = classify(lastCode(db_));
            closeConnection();
            if (f == Failure::Damaged)
                return f;
        }
        return Failure::Other;
    }
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        return Failure::ReadOnly;
    const QByteArray name = QFile::encodeName(path_);
    const int rc = sqlite3_open_v2(name.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const Failure f = classify(rc & 0xff);
        closeConnection();
        return f;
    }
    // Another copy of the program may be writing: wait for it, but not long.
    sqlite3_busy_timeout(db_, 2000);
    for (const char *statement : kSchema)
        if (!exec(db_, statement))
            return classify(lastCode(db_));
    // Pages broken further on are found by the thread that reads the cards;
    // a scan here would hold up the start.
    if (!exec(db_, "SELECT 1 FROM progress LIMIT 1"))
        return classify(lastCode(db_));
    if (!hasTable(db_, kSettingsTable) && !convert())
        return classify(lastCode(db_));
    readFsrsSettings();
    readVersions(true);
    return Failure::None;
}

// Stores of earlier versions keep cards under their legacy keys; a new
// store says it has none.
void ProgressStore::readVersions(bool writable)
{
    Statement version(db_, "PRAGMA data_version");
    dataVersion_ = version.step() == SQLITE_ROW ? version.integer(0) : -1;
    Statement user(db_, "PRAGMA user_version");
    if (user.step() == SQLITE_ROW && user.integer(0) >= 2)
        return;
    Statement any(db_, "SELECT 1 FROM progress LIMIT 1");
    legacy_ = any.step() == SQLITE_ROW;
    if (!legacy_ && writable)
        exec(db_, "PRAGMA user_version = 2");
}

void ProgressStore::closeConnection()
{
    sqlite3_close(db_);
    db_ = nullptr;
}

bool ProgressStore::setAside()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path_ + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = path_ + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(path_, aside))
        return false;
    // The journal files belong to the damaged database, not to the new one.
    for (const char *suffix : {"-wal", "-shm"})
        if (QFileInfo::exists(path_ + QLatin1String(suffix)))
            QFile::rename(path_ + QLatin1String(suffix), aside + QLatin1String(suffix));
    notice_ = QCoreApplication::translate("Mnemodeck", "The review progress was damaged; it was kept as %1 and a new one started.")
                  .arg(QFileInfo(aside).fileName());
    return true;
}

void ProgressStore::stopSaving(const QString &why)
{
    if (saving_ || notice_.isEmpty())
        notice_ = why;
    saving_ = false;
}

void ProgressStore::failWrite(int code)
{
    exec(db_, "ROLLBACK");
    stopSaving(code == SQLITE_BUSY || code == SQLITE_LOCKED ? lockedNotice()
               : isDamage(code)                            ? damagedNotice()
                                                           : readOnlyNotice());
}

QString ProgressStore::takeNotice()
{
    return std::exchange(notice_, QString());
}

void ProgressStore::startLoading()
{
    if (!db_) {
        loaded_ = reviewsLoaded_ = true;
        return;
    }
    std::promise<ReadCards> cards;
    std::promise<ReadReviews> reviews;
    loading_ = cards.get_future();
    reviewsLoading_ = reviews.get_future();
    reader_ = std::thread(readStore, path_, uri_, std::move(cards), std::move(reviews));
}

// The damage the first read found is the earlier kind's: the store is set
// aside and a new one started, and the user is told after that read.
void ProgressStore::startOver()
{
    closeConnection();
    cache_ = ReadCards();
    if (readOnly_ || !setAside()) {
        readable_ = false;
        stopSaving(damagedNotice());
        return;
    }
    const QString told = notice_;
    const Failure f = openConnection(false);
    saving_ = f == Failure::None;
    notice_ = told;
    if (!saving_) {
        closeConnection();
        stopSaving(QCoreApplication::translate("Mnemodeck", "The review progress cannot be opened; answers are not saved."));
    }
}

void ProgressStore::load()
{
    loaded_ = true;
    if (!loading_.valid())
        return;
    ReadCards read = loading_.get();
    switch (read.outcome) {
    case ReadOutcome::Read: cache_ = std::move(read); break;
    case ReadOutcome::Damaged:
        reviewsLoaded_ = true;
        startOver();
        break;
    case ReadOutcome::Failed:
        reviewsLoaded_ = true;
        failRead(read.error);
        break;
    }
}

void ProgressStore::loadReviews()
{
    if (!loaded_)
        load();
    if (reviewsLoaded_)
        return;
    reviewsLoaded_ = true;
    if (!reviewsLoading_.valid())
        return;
    ReadReviews read = reviewsLoading_.get();
    switch (read.outcome) {
    case ReadOutcome::Read:
        // Reviews stored since the reading began were read again already.
        read.reviews.insert(read.reviews.end(), cache_.reviews.begin(), cache_.reviews.end());
        cache_.reviews = std::move(read.reviews);
        break;
    case ReadOutcome::Damaged: startOver(); break;
    case ReadOutcome::Failed: failRead(read.error); break;
    }
}

// Nothing may then be taken as new: no round, no numbers.
void ProgressStore::failRead(const QString &error)
{
    readable_ = false;
    cache_ = ReadCards();
    stopSaving(QCoreApplication::translate("Mnemodeck", "The review progress could not be read (%1); answers are not saved.")
                   .arg(error));
}

bool ProgressStore::isRead() const
{
    return loaded_ || !loading_.valid() || loading_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

bool ProgressStore::readable()
{
    if (!loaded_)
        load();
    return readable_;
}

CardState ProgressStore::cached(qint64 key) const
{
    const CardState *found = cache_.cards.find(key);
    return found ? *found : CardState{};
}

void ProgressStore::refresh()
{
    if (!loaded_)
        load();
    // Damage found by the rest of the first read is told as soon as it is.
    if (!reviewsLoaded_ && reviewsLoading_.valid()
        && reviewsLoading_.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
        loadReviews();
    if (!db_ || !readable_)
        return;
    Statement version(db_, "PRAGMA data_version");
    const qint64 now = version.step() == SQLITE_ROW ? version.integer(0) : -1;
    if (!dirty_ && now == dataVersion_)
        return;
    dataVersion_ = now;
    dirty_ = false;
    if (!exec(db_, "BEGIN"))
        return;
    std::vector<qint64> cards;
    {
        Statement q(db_, "SELECT id, card, day * 2 + knew FROM reviews WHERE id > ? ORDER BY id");
        q.bind(1, cache_.lastReview);
        while (q.step() == SQLITE_ROW) {
            const qint64 packed = q.integer(2);
            const StoredReview r{q.integer(0), q.integer(1), packed >> 1, (packed & 1) != 0};
            cache_.lastReview = r.id;
            cards.push_back(r.key);
            cache_.reviews.push_back(r);
        }
    }
    {
        Statement q(db_, "SELECT id, card FROM changes WHERE id > ? ORDER BY id");
        q.bind(1, cache_.lastChange);
        while (q.step() == SQLITE_ROW) {
            cache_.lastChange = q.integer(0);
            cards.push_back(q.integer(1));
        }
    }
    const bool converted = hasTable(db_, kSettingsTable);
    bool rescheduled = false;
    if (converted) {
        const fsrs::Settings was = fsrs_;
        readFsrsSettings();
        rescheduled = was.w != fsrs_.w || was.desiredRetention != fsrs_.desiredRetention
                      || was.maximumInterval != fsrs_.maximumInterval || was.fuzz != fsrs_.fuzz;
    }
    if (rescheduled) {
        // Another program rescheduled every card: every memory is read again.
        Statement all(db_, "SELECT card, mday * 4 + phase FROM progress");
        while (all.step() == SQLITE_ROW) {
            CardState c = cached(all.integer(0));
            c.phase = int(all.integer(1) & 3);
            c.memoryDueDay = all.integer(1) >> 2;
            cache_.cards.set(all.integer(0), c);
        }
    }
    Statement q(db_, converted ? "SELECT box, due, " MDK_MEMORY_COLUMNS " FROM progress WHERE card = ?"
                               : "SELECT box, due FROM progress WHERE card = ?");
    for (qint64 key : cards) {
        q.bind(1, key);
        cache_.cards.set(key, q.step() != SQLITE_ROW ? CardState{} : converted ? fullStateOf(q) : stateOf(q));
        q.reset();
    }
    exec(db_, "COMMIT");
}

std::vector<CardState> ProgressStore::states(const std::vector<qint64> &keys)
{
    refresh();
    std::vector<CardState> out(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        if (i + 16 < keys.size())
            cache_.cards.prefetch(keys[i + 16]);
        if (const CardState *found = cache_.cards.find(keys[i]))
            out[i] = scheduled(*found);
    }
    return out;
}

const CardTable &ProgressStore::knownCards()
{
    refresh();
    return cache_.cards;
}

const std::vector<StoredReview> &ProgressStore::recentReviews()
{
    loadReviews();
    refresh();
    return cache_.reviews;
}

qint64 ProgressStore::deckId(const QString &cardFile)
{
    if (!db_)
        return 0;
    const QString path = deckPath(cardFile);
    if (saving_) {
        Statement insert(db_, "INSERT OR IGNORE INTO decks(path) VALUES(?)");
        insert.bind(1, path);
        if (!insert.run()) {
            failWrite(lastCode(db_));
            return 0;
        }
    }
    Statement q(db_, "SELECT id FROM decks WHERE path = ?");
    q.bind(1, path);
    return q.step() == SQLITE_ROW ? q.integer(0) : 0;
}

Answer ProgressStore::answer(qint64 deck, qint64 key, bool knew, const QDateTime &at, qint64 day)
{
    Answer a = answer(deck, key, fsrs::gradeFromKnew(knew), at, day);
    a.grade = 0;
    return a;
}

CardState ProgressStore::scheduled(const CardState &state) const
{
    return scheduler_ == SchedulerKind::Leitner ? CardState{state.box, state.dueDay}
                                                : CardState{state.phase, state.memoryDueDay};
}

void ProgressStore::setScheduling(SchedulerKind kind, int dayStartHour)
{
    scheduler_ = kind;
    dayStartHour_ = dayStartHour;
}

// A card in review is due a whole number of days after its answer's day; a
// learning step's due day is that of its time.
qint64 ProgressStore::memoryDay(qint64 ms) const
{
    return dayOf(QDateTime::fromMSecsSinceEpoch(ms), dayStartHour_);
}

namespace {

qint64 memoryDueDay(const fsrs::Card &c, const std::function<qint64(qint64)> &dayOfTime)
{
    if (c.state == fsrs::State::New)
        return 0;
    return c.state == fsrs::State::Review ? c.lastReviewDay + c.scheduledDays : dayOfTime(c.due);
}

} // namespace

fsrs::Card ProgressStore::storedMemory(qint64 key, bool *ok)
{
    if (ok)
        *ok = true;
    if (!db_ || !hasTable(db_, kSettingsTable))
        return {};
    Statement q(db_, "SELECT " MDK_MEMORY_COLUMNS " FROM progress WHERE card = ?");
    q.bind(1, key);
    const int rc = q.step();
    if (ok)
        *ok = rc == SQLITE_ROW || rc == SQLITE_DONE;
    return rc == SQLITE_ROW ? memoryOf(q, 0) : fsrs::Card{};
}

std::vector<fsrs::Card> ProgressStore::memory(const std::vector<qint64> &keys)
{
    refresh();
    std::vector<fsrs::Card> out;
    out.reserve(keys.size());
    for (qint64 key : keys)
        out.push_back(storedMemory(key));
    return out;
}

std::array<fsrs::Card, 4> ProgressStore::preview(qint64 key, const QDateTime &at, qint64 day)
{
    return fsrs::Scheduler(fsrs_).preview(storedMemory(key), at.toMSecsSinceEpoch(), day, quint64(key));
}

Answer ProgressStore::answer(qint64 deck, qint64 key, fsrs::Grade grade, const QDateTime &at, qint64 day)
{
    if (!loaded_)
        load();
    Answer a;
    a.grade = int(grade);
    const bool knew = grade != fsrs::Grade::Again;
    const fsrs::Scheduler scheduler(fsrs_);
    const auto dayOfTime = [this](qint64 ms) { return memoryDay(ms); };
    auto compute = [&] {
        a.storedBefore.phase = int(a.memoryBefore.state);
        a.storedBefore.memoryDueDay = memoryDueDay(a.memoryBefore, dayOfTime);
        a.storedAfter = review::answer(a.storedBefore, knew, day);
        a.memoryAfter = scheduler.answer(a.memoryBefore, at.toMSecsSinceEpoch(), day, grade, quint64(key));
        a.storedAfter.phase = int(a.memoryAfter.state);
        a.storedAfter.memoryDueDay = memoryDueDay(a.memoryAfter, dayOfTime);
        a.before = scheduled(a.storedBefore);
        a.after = scheduled(a.storedAfter);
    };
    if (saving_) {
        bool ok = exec(db_, "BEGIN IMMEDIATE");
        if (ok) {
            Statement q(db_, "SELECT box, due, " MDK_MEMORY_COLUMNS " FROM progress WHERE card = ?");
            q.bind(1, key);
            const int rc = q.step();
            ok = rc == SQLITE_ROW || rc == SQLITE_DONE;
            a.storedBefore = rc == SQLITE_ROW ? stateOf(q) : CardState{};
            a.memoryBefore = rc == SQLITE_ROW ? memoryOf(q, 2) : fsrs::Card{};
        }
        compute();
        if (ok) {
            Statement put(db_, "INSERT OR REPLACE INTO progress(" MDK_ALL_COLUMNS ") VALUES(" MDK_ALL_VALUES ")");
            put.bind(1, key).bind(2, a.storedAfter.box).bind(3, a.storedAfter.dueDay);
            bindMemory(put, 4, a.memoryAfter, a.storedAfter.memoryDueDay);
            ok = put.run();
        }
        if (ok) {
            Statement log(db_, "INSERT INTO reviews(deck, card, day, at, knew, box, grade) VALUES(?, ?, ?, ?, ?, ?, ?)");
            ok = log.bind(1, deck).bind(2, key).bind(3, day).bind(4, at.toMSecsSinceEpoch()).bind(5, knew ? 1 : 0)
                     .bind(6, a.storedAfter.box)
                     .bind(7, int(grade))
                     .run();
            a.review = sqlite3_last_insert_rowid(db_);
        }
        if (ok) {
            Statement change(db_, "INSERT INTO changes(card) VALUES(?)");
            ok = change.bind(1, key).run() && exec(db_, "COMMIT");
        }
        if (ok) {
            dirty_ = true;
            cache_.cards.set(key, a.storedAfter);
            return a;
        }
        failWrite(lastCode(db_));
    }
    // The round goes on with what it learnt even when it cannot be kept.
    a.storedBefore = cached(key);
    a.memoryBefore = storedMemory(key);
    compute();
    a.review = 0;
    cache_.cards.set(key, a.storedAfter);
    return a;
}

bool ProgressStore::takeBack(qint64 key, const Answer &a)
{
    if (a.review == 0) {
        cache_.cards.set(key, a.storedBefore);
        return true;
    }
    if (!saving_ || !exec(db_, "BEGIN IMMEDIATE"))
        return false;
    bool ok;
    {
        Statement q(db_, "SELECT box, due, " MDK_MEMORY_COLUMNS " FROM progress WHERE card = ?");
        q.bind(1, key);
        // Another program answered the card since: its answer stands.
        ok = q.step() == SQLITE_ROW && stateOf(q) == CardState{a.storedAfter.box, a.storedAfter.dueDay}
             && memoryOf(q, 2) == a.memoryAfter;
    }
    const bool wasNew = a.storedBefore.box == 0 && a.memoryBefore.state == fsrs::State::New;
    if (ok) {
        Statement put(db_, wasNew ? "DELETE FROM progress WHERE card = ?"
                                  : "INSERT OR REPLACE INTO progress(" MDK_ALL_COLUMNS ") VALUES(" MDK_ALL_VALUES ")");
        put.bind(1, key);
        if (!wasNew) {
            put.bind(2, a.storedBefore.box).bind(3, a.storedBefore.dueDay);
            bindMemory(put, 4, a.memoryBefore, a.storedBefore.memoryDueDay);
        }
        Statement drop(db_, "DELETE FROM reviews WHERE id = ?");
        Statement change(db_, "INSERT INTO changes(card) VALUES(?)");
        ok = put.run() && drop.bind(1, a.review).run() && change.bind(1, key).run();
    }
    if (!ok || !exec(db_, "COMMIT")) {
        exec(db_, "ROLLBACK");
        return false;
    }
    dirty_ = true;
    cache_.cards.set(key, a.storedBefore);
    std::erase_if(cache_.reviews, [&](const StoredReview &r) { return r.id == a.review; });
    return true;
}

// Keeps the old file aside once (an older version cannot read the new
// one), then gives every stored two-button answer a grade (knew = Good,
// did not = Again) and computes every card's memory from its log.
bool ProgressStore::convert()
{
    bool any = false;
    {
        Statement q(db_, "SELECT 1 FROM reviews LIMIT 1");
        any = q.step() == SQLITE_ROW;
    }
    const QString aside = path_ + QStringLiteral(".before-4.31");
    if (any && !QFileInfo::exists(aside)) {
        Statement copy(db_, "VACUUM INTO ?");
        if (!copy.bind(1, aside).run())
            return false;
    }
    if (!exec(db_, "BEGIN IMMEDIATE"))
        return false;
    auto columns = [&](const char *table) {
        QStringList names;
        Statement q(db_, (QByteArray("PRAGMA table_info(") + table + ")").constData());
        while (q.step() == SQLITE_ROW)
            names << q.text(1);
        return names;
    };
    bool ok = true;
    const QStringList progress = columns("progress");
    for (int c = 0; ok && c < kMemoryColumnCount; ++c)
        if (!progress.contains(QLatin1String(kMemoryColumns[c]))) {
            const char *type = c == 1 || c == 2 ? "REAL" : "INTEGER";
            ok = exec(db_, (QByteArray("ALTER TABLE progress ADD COLUMN ") + kMemoryColumns[c] + " " + type
                            + " NOT NULL DEFAULT 0")
                               .constData());
        }
    if (ok && !columns("reviews").contains(QStringLiteral("grade")))
        ok = exec(db_, "ALTER TABLE reviews ADD COLUMN grade INTEGER NOT NULL DEFAULT 0");
    ok = ok && exec(db_, "UPDATE reviews SET grade = CASE WHEN knew THEN 3 ELSE 1 END WHERE grade = 0");
    ok = ok && exec(db_, "CREATE TABLE fsrs_settings(id INTEGER PRIMARY KEY, retention REAL NOT NULL,"
                         " maximum INTEGER NOT NULL, fuzz INTEGER NOT NULL, parameters TEXT NOT NULL)");
    const fsrs::Settings defaults;
    if (ok) {
        Statement put(db_, "INSERT INTO fsrs_settings(id, retention, maximum, fuzz, parameters) VALUES(1, ?, ?, ?, ?)");
        ok = put.bind(1, defaults.desiredRetention).bind(2, defaults.maximumInterval).bind(3, defaults.fuzz ? 1 : 0)
                 .bind(4, parametersText(defaults.w))
                 .run();
    }
    ok = ok && replayAll(defaults, {});
    pending_.clear();
    if (!ok || !exec(db_, "COMMIT")) {
        exec(db_, "ROLLBACK");
        return false;
    }
    fsrs_ = defaults;
    return true;
}

bool ProgressStore::readFsrsSettings()
{
    if (!hasTable(db_, kSettingsTable))
        return false;
    Statement q(db_, "SELECT retention, maximum, fuzz, parameters FROM fsrs_settings WHERE id = 1");
    if (q.step() != SQLITE_ROW)
        return false;
    fsrs::Settings s;
    const double retention = q.real(0);
    s.desiredRetention = std::isfinite(retention) ? std::clamp(retention, 0.70, 0.99) : 0.9;
    s.maximumInterval = int(std::clamp<qint64>(q.integer(1), 1, 36500));
    s.fuzz = q.integer(2) != 0;
    const QStringList parts = q.text(3).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() == fsrs::kParameterCount) {
        bool all = true;
        for (int k = 0; k < fsrs::kParameterCount; ++k) {
            bool ok = false;
            s.w[size_t(k)] = parts[k].toDouble(&ok);
            all = all && ok && std::isfinite(s.w[size_t(k)]);
        }
        s.w = all ? fsrs::clampParameters(s.w) : fsrs::defaultParameters();
    }
    fsrs_ = s;
    return true;
}

// Every card's memory from its log, within the caller's transaction.
bool ProgressStore::replayAll(const fsrs::Settings &settings, const std::function<bool(double)> &progress)
{
    struct Row {
        qint64 key, at, id, day;
        int grade;
    };
    std::vector<Row> rows;
    {
        Statement count(db_, "SELECT count(*) FROM reviews");
        if (count.step() == SQLITE_ROW)
            rows.reserve(size_t(count.integer(0)));
        Statement q(db_, "SELECT card, at, id, day, grade FROM reviews WHERE grade BETWEEN 1 AND 4");
        int rc;
        while ((rc = q.step()) == SQLITE_ROW)
            rows.push_back(Row{q.integer(0), q.integer(1), q.integer(2), q.integer(3), int(q.integer(4))});
        if (rc != SQLITE_DONE)
            return false;
    }
    if (progress && !progress(0.1))
        return false;
    std::sort(rows.begin(), rows.end(),
              [](const Row &a, const Row &b) { return std::tie(a.key, a.at, a.id) < std::tie(b.key, b.at, b.id); });
    const fsrs::Scheduler scheduler(settings);
    const auto dayOfTime = [this](qint64 ms) { return memoryDay(ms); };
    // Every card with memory has a log (answers, follow and take-back keep
    // both together), so only the cards of the log are written.
    Statement put(db_, "UPDATE progress SET phase = ?1, stability = ?2, difficulty = ?3, mdue = ?4, mday = ?5, last = ?6,"
                       " last_day = ?7, scheduled = ?8, elapsed = ?9, step = ?10, reps = ?11, lapses = ?12 WHERE card = ?13");
    std::vector<fsrs::Review> log;
    pending_.clear();
    for (size_t i = 0; i < rows.size();) {
        const qint64 key = rows[i].key;
        log.clear();
        for (; i < rows.size() && rows[i].key == key; ++i)
            log.push_back(fsrs::Review{rows[i].at, rows[i].day, fsrs::Grade(rows[i].grade)});
        const fsrs::Card card = fsrs::replay(scheduler, log, quint64(key));
        const qint64 dueDay = memoryDueDay(card, dayOfTime);
        bindMemory(put, 1, card, dueDay);
        put.bind(13, key);
        if (!put.run())
            return false;
        put.reset();
        pending_.emplace_back(key, std::make_pair(int(card.state), dueDay));
        if (progress && (pending_.size() & 0xfff) == 0 && !progress(0.1 + 0.85 * double(i) / double(rows.size())))
            return false;
    }
    // Other programs read every card's memory again when they see the
    // settings changed (refresh), not through a million change lines.
    return !progress || progress(0.95);
}

bool ProgressStore::reschedule(const fsrs::Settings &settings, const std::function<bool(double)> &progress)
{
    if (!loaded_)
        load();
    if (!saving_ || !exec(db_, "BEGIN IMMEDIATE"))
        return false;
    // Every page is written once: a larger cache keeps them until commit.
    exec(db_, "PRAGMA cache_size = -131072");
    fsrs::Settings s = settings;
    s.desiredRetention = std::clamp(s.desiredRetention, 0.70, 0.99);
    s.maximumInterval = std::clamp(s.maximumInterval, 1, 36500);
    s.w = fsrs::clampParameters(s.w);
    Statement put(db_, "UPDATE fsrs_settings SET retention = ?, maximum = ?, fuzz = ?, parameters = ? WHERE id = 1");
    bool ok = put.bind(1, s.desiredRetention).bind(2, s.maximumInterval).bind(3, s.fuzz ? 1 : 0)
                  .bind(4, parametersText(s.w))
                  .run()
              && replayAll(s, progress);
    const bool kept = ok && exec(db_, "COMMIT");
    if (!kept)
        exec(db_, "ROLLBACK");
    exec(db_, "PRAGMA cache_size = -2000");
    if (!kept) {
        pending_.clear();
        return false;
    }
    // The whole table went through the journal: fold it back now, on the
    // worker, rather than slow every later read.
    exec(db_, "PRAGMA wal_checkpoint(TRUNCATE)");
    fsrs_ = s;
    for (const auto &[key, memory] : pending_) {
        CardState c = cached(key);
        c.phase = memory.first;
        c.memoryDueDay = memory.second;
        cache_.cards.set(key, c);
    }
    pending_.clear();
    pending_.shrink_to_fit();
    dirty_ = true;
    if (progress)
        progress(1.0);
    return true;
}

std::vector<std::pair<qint64, fsrs::CardLog>> ProgressStore::reviewLogs()
{
    std::vector<std::pair<qint64, fsrs::CardLog>> out;
    Statement q(db_, "SELECT card, at, day, grade FROM reviews WHERE grade BETWEEN 1 AND 4 ORDER BY card, at, id");
    qint64 last = 0;
    while (q.step() == SQLITE_ROW) {
        if (out.empty() || q.integer(0) != last) {
            last = q.integer(0);
            out.emplace_back(last, fsrs::CardLog{});
        }
        out.back().second.push_back(fsrs::LoggedReview{q.integer(1), q.integer(2), int(q.integer(3))});
    }
    return out;
}

bool ProgressStore::record(qint64 deck, qint64 key, const CardState &state, bool knew, const QDateTime &at)
{
    if (!loaded_)
        load();
    cache_.cards.set(key, state);
    if (!saving_)
        return false;
    bool ok = exec(db_, "BEGIN IMMEDIATE");
    if (ok) {
        Statement put(db_, "INSERT OR REPLACE INTO progress(card, box, due) VALUES(?, ?, ?)");
        ok = put.bind(1, key).bind(2, state.box).bind(3, state.dueDay).run();
    }
    if (ok) {
        Statement log(db_, "INSERT INTO reviews(deck, card, day, at, knew, box) VALUES(?, ?, ?, ?, ?, ?)");
        ok = log.bind(1, deck).bind(2, key).bind(3, dayOf(at)).bind(4, at.toMSecsSinceEpoch()).bind(5, knew ? 1 : 0)
                 .bind(6, state.box)
                 .run();
    }
    if (ok) {
        Statement change(db_, "INSERT INTO changes(card) VALUES(?)");
        ok = change.bind(1, key).run() && exec(db_, "COMMIT");
    }
    if (!ok) {
        failWrite(lastCode(db_));
        return false;
    }
    dirty_ = true;
    return true;
}

bool ProgressStore::follow(qint64 fromKey, qint64 toKey)
{
    return follow(std::vector<std::pair<qint64, qint64>>{{fromKey, toKey}});
}

bool ProgressStore::follow(const std::vector<std::pair<qint64, qint64>> &changes)
{
    if (!loaded_)
        load();
    // A text never reviewed gives nothing: what the new text had stays.
    std::vector<std::pair<qint64, qint64>> given;
    for (const auto &[from, to] : changes) {
        const CardState *known = cache_.cards.find(from);
        if (from != to && known && !known->isNew()) {
            given.emplace_back(from, to);
            cache_.cards.set(to, *known);
        }
    }
    if (given.empty())
        return true;
    if (!saving_)
        return false;
    bool ok = exec(db_, "BEGIN IMMEDIATE");
    Statement put(db_, "INSERT OR REPLACE INTO progress(" MDK_ALL_COLUMNS ") SELECT ?, box, due, " MDK_MEMORY_COLUMNS
                       " FROM progress WHERE card = ?");
    // Its log goes along; a review the new text already has (an edit
    // undone) is not given twice.
    Statement copy(db_, "INSERT INTO reviews(deck, card, day, at, knew, box, grade)"
                        " SELECT deck, ?1, day, at, knew, box, grade FROM reviews r WHERE card = ?2 AND NOT EXISTS"
                        " (SELECT 1 FROM reviews o WHERE o.card = ?1 AND o.at = r.at AND o.knew = r.knew AND o.deck = r.deck)");
    Statement change(db_, "INSERT INTO changes(card) VALUES(?)");
    for (const auto &[from, to] : given) {
        if (!ok)
            break;
        ok = put.bind(1, to).bind(2, from).run() && copy.bind(1, to).bind(2, from).run() && change.bind(1, to).run();
        put.reset();
        copy.reset();
        change.reset();
    }
    if (!ok || !exec(db_, "COMMIT")) {
        failWrite(lastCode(db_));
        return false;
    }
    dirty_ = true;
    return true;
}

namespace {

quint64 digestOf(const std::vector<qint64> &keys)
{
    quint64 h = 0xcbf29ce484222325ULL ^ keys.size();
    for (qint64 k : keys)
        h = (h ^ quint64(k)) * 0x100000001b3ULL;
    return h;
}

} // namespace

void ProgressStore::setDeckCards(qint64 deck, const std::vector<qint64> &keys)
{
    if (!saving_ || deck <= 0)
        return;
    const qint64 digest = qint64(digestOf(keys));
    {
        Statement q(db_, "SELECT digest FROM deck_cards WHERE deck = ?");
        q.bind(1, deck);
        if (q.step() == SQLITE_ROW && q.integer(0) == digest)
            return;
    }
    Statement put(db_, "INSERT OR REPLACE INTO deck_cards(deck, count, digest, keys) VALUES(?, ?, ?, ?)");
    put.bind(1, deck).bind(2, qint64(keys.size())).bind(3, digest);
    sqlite3_bind_blob64(put.get(), 4, keys.data(), keys.size() * sizeof(qint64), SQLITE_STATIC);
    if (!put.run())
        failWrite(lastCode(db_));
}

std::vector<qint64> ProgressStore::existingCards(qint64 exceptDeck)
{
    std::vector<qint64> out;
    if (!db_ || !hasTable(db_, "deck_cards"))
        return out;
    Statement q(db_, "SELECT d.path, c.keys FROM decks d JOIN deck_cards c ON c.deck = d.id WHERE d.id <> ?");
    q.bind(1, exceptDeck);
    while (q.step() == SQLITE_ROW) {
        if (!QFileInfo::exists(q.text(0)))
            continue;
        const size_t n = size_t(sqlite3_column_bytes(q.get(), 1)) / sizeof(qint64);
        const size_t at = out.size();
        out.resize(at + n);
        if (n)
            std::memcpy(out.data() + at, sqlite3_column_blob(q.get(), 1), n * sizeof(qint64));
    }
    return out;
}

std::vector<ProgressStore::DeckEntry> ProgressStore::decks()
{
    std::vector<DeckEntry> out;
    const bool cards = db_ && hasTable(db_, "deck_cards");
    Statement q(db_, cards ? "SELECT d.id, d.path, coalesce(c.count, 0) FROM decks d LEFT JOIN deck_cards c ON c.deck = d.id"
                             " ORDER BY d.path"
                           : "SELECT id, path, 0 FROM decks ORDER BY path");
    while (q.step() == SQLITE_ROW)
        out.push_back(DeckEntry{q.integer(0), q.text(1), int(q.integer(2))});
    return out;
}

bool ProgressStore::reattach(qint64 id, const QString &newPath)
{
    if (!saving_)
        return false;
    const QString path = deckPath(newPath);
    if (!exec(db_, "BEGIN IMMEDIATE"))
        return false;
    // The new path may already be a deck of its own: its reviews join.
    bool ok;
    {
        Statement q(db_, "SELECT id FROM decks WHERE path = ? AND id <> ?");
        q.bind(1, path).bind(2, id);
        const int rc = q.step();
        ok = rc == SQLITE_ROW || rc == SQLITE_DONE;
        if (rc == SQLITE_ROW) {
            const qint64 other = q.integer(0);
            Statement move(db_, "UPDATE reviews SET deck = ? WHERE deck = ?");
            Statement forget(db_, "DELETE FROM decks WHERE id = ?");
            Statement cards(db_, "DELETE FROM deck_cards WHERE deck = ?");
            ok = move.bind(1, id).bind(2, other).run() && forget.bind(1, other).run() && cards.bind(1, other).run();
        }
    }
    if (ok) {
        Statement rename(db_, "UPDATE decks SET path = ? WHERE id = ?");
        ok = rename.bind(1, path).bind(2, id).run() && sqlite3_changes(db_) == 1;
    }
    exec(db_, ok ? "COMMIT" : "ROLLBACK");
    return ok;
}

std::vector<ProgressStore::Review> ProgressStore::reviewsSince(qint64 from)
{
    std::vector<Review> out;
    Statement q(db_, "SELECT card, day * 2 + knew FROM reviews WHERE day >= ?");
    q.bind(1, from);
    while (q.step() == SQLITE_ROW) {
        const qint64 packed = q.integer(1);
        out.push_back(Review{q.integer(0), packed >> 1, (packed & 1) != 0});
    }
    return out;
}

} // namespace mdk::review
