#include "progressstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>

namespace mdk::review {

namespace {

std::atomic<int> connections{0};

// SQLite's primary result codes that decide what happens next.
constexpr int kBusy = 5, kLocked = 6, kReadOnly = 8, kCorrupt = 11, kCantOpen = 14, kNotADatabase = 26;

const char *const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS decks(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE)",
    "CREATE TABLE IF NOT EXISTS progress(card INTEGER PRIMARY KEY, box INTEGER NOT NULL, due INTEGER NOT NULL)",
    "CREATE TABLE IF NOT EXISTS reviews(id INTEGER PRIMARY KEY, deck INTEGER NOT NULL, card INTEGER NOT NULL,"
    " day INTEGER NOT NULL, at INTEGER NOT NULL, knew INTEGER NOT NULL, box INTEGER NOT NULL)",
    // Covering: the statistics read a range of days without a lookup per row.
    "CREATE INDEX IF NOT EXISTS reviews_by_day ON reviews(day, card, knew)",
};

int codeOf(const QSqlError &error)
{
    return error.nativeErrorCode().toInt() & 0xff;
}

QString lockedNotice()
{
    return QCoreApplication::translate("Mnemodeck", "The review progress is in use by another program; answers are not saved.");
}

QString readOnlyNotice()
{
    return QCoreApplication::translate("Mnemodeck", "The data folder cannot be written; review progress is not saved.");
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

ProgressStore::ProgressStore(const QString &path)
    : path_(path), connection_(QStringLiteral("mdk-progress-%1").arg(connections++))
{
    Failure failure = openConnection();
    if (failure == Failure::Damaged) {
        closeConnection();
        const bool aside = setAside();
        failure = aside ? openConnection() : Failure::Other;
    }
    startLoading();
    switch (failure) {
    case Failure::None: saving_ = true; break;
    case Failure::Busy: stopSaving(lockedNotice()); break;
    case Failure::ReadOnly: stopSaving(readOnlyNotice()); break;
    case Failure::Damaged:
    case Failure::Other:
        stopSaving(QCoreApplication::translate("Mnemodeck", "The review progress cannot be opened; answers are not saved."));
        break;
    }
}

ProgressStore::~ProgressStore()
{
    if (loading_.valid())
        loading_.wait();
    closeConnection();
}

ProgressStore::Failure ProgressStore::openConnection()
{
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        return Failure::ReadOnly;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path_);
    // Another copy of the program may be writing: wait for it, but not long.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    open_ = db.open();
    auto classify = [](const QSqlError &error) {
        switch (codeOf(error)) {
        case kBusy:
        case kLocked: return Failure::Busy;
        case kCorrupt:
        case kNotADatabase: return Failure::Damaged;
        case kReadOnly:
        case kCantOpen: return Failure::ReadOnly;
        default: return Failure::Other;
        }
    };
    if (!open_)
        return classify(db.lastError());
    QSqlQuery q(db);
    for (const char *statement :
         {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL", kSchema[0], kSchema[1], kSchema[2], kSchema[3]})
        if (!q.exec(QString::fromLatin1(statement)))
            return classify(q.lastError());
    // Pages broken further on are found by the thread that reads the cards
    // (the store then stops saving); a scan here would hold up the start.
    if (!q.exec(QStringLiteral("SELECT 1 FROM progress LIMIT 1")))
        return classify(q.lastError());
    return Failure::None;
}

void ProgressStore::closeConnection()
{
    if (!QSqlDatabase::contains(connection_))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
    open_ = false;
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

QString ProgressStore::takeNotice()
{
    return std::exchange(notice_, QString());
}

namespace {

// Every stored card, read on a connection of the calling thread's own.
ReadCards readCards(const QString &path, const QString &connection)
{
    ReadCards out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
        if (db.open()) {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (q.exec(QStringLiteral("SELECT count(*) FROM progress")) && q.next()) {
                out.cards.reserve(size_t(q.value(0).toLongLong()));
                // Two columns, not three: each value read costs more than
                // the packing.
                if (q.exec(QStringLiteral("SELECT card, due * 8 + box FROM progress")))
                    while (q.next()) {
                        const qint64 packed = q.value(1).toLongLong();
                        out.cards.set(q.value(0).toLongLong(), CardState{int(packed & 7), packed >> 3});
                    }
            }
            out.damaged = q.lastError().isValid() && codeOf(q.lastError()) == kCorrupt;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return out;
}

} // namespace

void ProgressStore::startLoading()
{
    if (!open_)
        return;
    loading_ = std::async(std::launch::async, readCards, path_, connection_ + QStringLiteral("-read"));
}

void ProgressStore::load()
{
    loaded_ = true;
    if (!loading_.valid())
        return;
    ReadCards read = loading_.get();
    cache_ = std::move(read.cards);
    // Answers stored while the cards were being read are newer.
    for (const auto &[key, state] : pending_)
        cache_.set(key, state);
    pending_.clear();
    if (read.damaged)
        stopSaving(QCoreApplication::translate("Mnemodeck", "The review progress is damaged; answers are not saved."));
}

std::vector<CardState> ProgressStore::states(const std::vector<qint64> &keys)
{
    if (!loaded_)
        load();
    std::vector<CardState> out(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        if (const CardState *found = cache_.find(keys[i]))
            out[i] = *found;
    }
    return out;
}

std::vector<CardState> ProgressStore::allStates()
{
    if (!loaded_)
        load();
    std::vector<CardState> out;
    out.reserve(cache_.size());
    cache_.forEach([&](qint64, const CardState &state) { out.push_back(state); });
    return out;
}

qint64 ProgressStore::deckId(const QString &cardFile)
{
    if (!saving_)
        return 0;
    const QString path = deckPath(cardFile);
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("INSERT OR IGNORE INTO decks(path) VALUES(?)"));
    q.addBindValue(path);
    if (!q.exec()) {
        stopSaving(codeOf(q.lastError()) == kBusy ? lockedNotice() : readOnlyNotice());
        return 0;
    }
    q.prepare(QStringLiteral("SELECT id FROM decks WHERE path = ?"));
    q.addBindValue(path);
    return q.exec() && q.next() ? q.value(0).toLongLong() : 0;
}

bool ProgressStore::record(qint64 deck, qint64 key, const CardState &state, bool knew, const QDateTime &at)
{
    // The round goes on with what it learnt even when it cannot be kept.
    if (loaded_)
        cache_.set(key, state);
    else
        pending_.emplace_back(key, state);
    if (!saving_)
        return false;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    auto fail = [&](const QSqlError &error) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        const int code = codeOf(error);
        stopSaving(code == kBusy || code == kLocked ? lockedNotice()
                   : code == kCorrupt             ? QCoreApplication::translate("Mnemodeck", "The review progress is damaged; answers are not saved.")
                                                  : readOnlyNotice());
        return false;
    };
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return fail(q.lastError());
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO progress(card, box, due) VALUES(?, ?, ?)"));
    q.addBindValue(key);
    q.addBindValue(state.box);
    q.addBindValue(state.dueDay);
    if (!q.exec())
        return fail(q.lastError());
    q.prepare(QStringLiteral("INSERT INTO reviews(deck, card, day, at, knew, box) VALUES(?, ?, ?, ?, ?, ?)"));
    q.addBindValue(deck);
    q.addBindValue(key);
    q.addBindValue(dayOf(at));
    q.addBindValue(at.toMSecsSinceEpoch());
    q.addBindValue(knew ? 1 : 0);
    q.addBindValue(state.box);
    if (!q.exec() || !q.exec(QStringLiteral("COMMIT")))
        return fail(q.lastError());
    return true;
}

std::vector<ProgressStore::DeckEntry> ProgressStore::decks()
{
    std::vector<DeckEntry> out;
    if (!open_)
        return out;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (q.exec(QStringLiteral("SELECT id, path FROM decks ORDER BY path")))
        while (q.next())
            out.push_back(DeckEntry{q.value(0).toLongLong(), q.value(1).toString()});
    return out;
}

bool ProgressStore::reattach(qint64 id, const QString &newPath)
{
    if (!saving_)
        return false;
    const QString path = deckPath(newPath);
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return false;
    // The new path may already be a deck of its own: its reviews join.
    q.prepare(QStringLiteral("SELECT id FROM decks WHERE path = ? AND id <> ?"));
    q.addBindValue(path);
    q.addBindValue(id);
    bool ok = q.exec();
    if (ok && q.next()) {
        const qint64 other = q.value(0).toLongLong();
        q.prepare(QStringLiteral("UPDATE reviews SET deck = ? WHERE deck = ?"));
        q.addBindValue(id);
        q.addBindValue(other);
        ok = q.exec();
        q.prepare(QStringLiteral("DELETE FROM decks WHERE id = ?"));
        q.addBindValue(other);
        ok = ok && q.exec();
    }
    q.prepare(QStringLiteral("UPDATE decks SET path = ? WHERE id = ?"));
    q.addBindValue(path);
    q.addBindValue(id);
    ok = ok && q.exec() && q.numRowsAffected() == 1;
    QSqlQuery(db).exec(ok ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
    return ok;
}

std::vector<ProgressStore::Review> ProgressStore::reviewsSince(qint64 from)
{
    std::vector<Review> out;
    if (!open_)
        return out;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT card, day * 2 + knew FROM reviews WHERE day >= ?"));
    q.addBindValue(from);
    if (q.exec())
        while (q.next()) {
            const qint64 packed = q.value(1).toLongLong();
            out.push_back(Review{q.value(0).toLongLong(), packed >> 1, (packed & 1) != 0});
        }
    return out;
}

} // namespace mdk::review
