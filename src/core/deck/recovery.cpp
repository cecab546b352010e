#include "recovery.h"

#include "core/deck/cardfile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSysInfo>

#include <algorithm>
#include <cmath>

#include <cerrno>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mdk::recovery {

namespace {

const QString kNewDeck = QStringLiteral("new deck");
const QString kDeckExt = QStringLiteral(".mdk");
const QString kMetaExt = QStringLiteral(".json");

bool alive(const World &world, const Writer &writer)
{
    // Another machine's process cannot be asked: its copy is left alone.
    return writer.host != world.self.host || writer == world.self || world.alive(writer);
}

// The copy is of the file now at its path, and newer than that file.
bool sameFileNow(const Copy &copy, const World &world)
{
    if (copy.meta.path.isEmpty())
        return false;
    const FileIdentity now = world.identity(copy.meta.path);
    return now.exists() && now == copy.meta.identity
           && copy.meta.time.toMSecsSinceEpoch() >= now.mtimeMs;
}

} // namespace

FileIdentity identityOf(const QString &path)
{
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1'000'000,
            quint64(st.st_ino)};
}

Writer thisProcess()
{
    static const quint64 start = processStart(qint64(::getpid()));
    return {qint64(::getpid()), QSysInfo::machineHostName(), start};
}

namespace {

// The state letter and start time of a process from /proc/PID/stat; the
// command name in parentheses may hold spaces and parentheses itself, so
// the fields are counted after its last ')'.
bool readStat(qint64 pid, char &state, quint64 &start)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = file.read(4096);
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0)
        return false;
    const QList<QByteArray> fields = line.mid(close + 1).simplified().split(' ');
    // After the name: state (field 3), ... starttime (field 22).
    if (fields.size() < 20 || fields[0].isEmpty())
        return false;
    state = fields[0][0];
    bool ok = false;
    start = fields[19].toULongLong(&ok);
    return ok;
}

} // namespace

quint64 processStart(qint64 pid)
{
    if (pid <= 0 || pid > 0x7fffffff)
        return 0;
    char state = 0;
    quint64 start = 0;
    if (!readStat(pid, state, start))
        return 0;
    return state == 'Z' || state == 'X' ? 0 : start;
}

bool processAlive(const Writer &writer)
{
    if (writer.pid <= 0 || writer.pid > 0x7fffffff)
        return false;
    char state = 0;
    quint64 start = 0;
    if (readStat(writer.pid, state, start))
        return state != 'Z' && state != 'X' && (writer.start == 0 || writer.start == start);
    // No /proc: ask the kernel. EPERM: it lives, under another user.
    return ::kill(pid_t(writer.pid), 0) == 0 || errno == EPERM;
}

QByteArray writeMeta(const Meta &meta)
{
    QJsonObject o;
    o.insert(QStringLiteral("path"), meta.path.isEmpty() ? kNewDeck : meta.path);
    o.insert(QStringLiteral("size"), meta.identity.size);
    o.insert(QStringLiteral("mtime"), meta.identity.mtimeMs);
    o.insert(QStringLiteral("inode"), QString::number(meta.identity.inode));
    o.insert(QStringLiteral("time"), meta.time.toMSecsSinceEpoch());
    o.insert(QStringLiteral("cards"), meta.cards);
    o.insert(QStringLiteral("category"), meta.category);
    o.insert(QStringLiteral("pid"), meta.writer.pid);
    o.insert(QStringLiteral("host"), meta.writer.host);
    // A string: the ticks need not fit a double exactly.
    o.insert(QStringLiteral("start"), QString::number(meta.writer.start));
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

std::optional<Meta> readMeta(const QByteArray &bytes)
{
    if (bytes.size() > kMaxMetaBytes)
        return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes);
    if (!doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    const QJsonValue path = o.value(QStringLiteral("path"));
    const QJsonValue time = o.value(QStringLiteral("time"));
    const QJsonValue pid = o.value(QStringLiteral("pid"));
    if (!path.isString() || !time.isDouble() || !pid.isDouble())
        return std::nullopt;
    // Numbers a double holds exactly, so what is read writes back the same.
    constexpr qint64 kExact = qint64(1) << 53;
    for (const char *key : {"size", "mtime", "time", "pid", "cards"}) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isUndefined() && (!v.isDouble() || std::abs(v.toDouble()) > double(kExact)))
            return std::nullopt;
    }
    Meta meta;
    meta.path = path.toString() == kNewDeck ? QString() : path.toString();
    if (!meta.path.isEmpty() && !QDir::isAbsolutePath(meta.path))
        return std::nullopt;
    meta.identity.size = o.value(QStringLiteral("size")).toInteger(-1);
    meta.identity.mtimeMs = o.value(QStringLiteral("mtime")).toInteger(0);
    meta.identity.inode = o.value(QStringLiteral("inode")).toString().toULongLong();
    meta.time = QDateTime::fromMSecsSinceEpoch(time.toInteger(0));
    meta.cards = std::max<qint64>(0, o.value(QStringLiteral("cards")).toInteger(0));
    meta.category = o.value(QStringLiteral("category")).toString().left(1024);
    meta.writer.pid = pid.toInteger(0);
    meta.writer.host = o.value(QStringLiteral("host")).toString().left(256);
    // Absent in copies of earlier versions: the pid alone then names the writer.
    meta.writer.start = o.value(QStringLiteral("start")).toString().toULongLong();
    if (!meta.time.isValid() || meta.writer.pid <= 0)
        return std::nullopt;
    return meta;
}

QString standardFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // The base directory rules ignore a relative path.
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/mnemodeck/recovery");
}

QString copyName(const QString &canonicalPath, const Writer &writer, qint64 startMs)
{
    const QString host = QString::fromLatin1(
        QCryptographicHash::hash(writer.host.toUtf8(), QCryptographicHash::Sha256).toHex().left(8));
    if (canonicalPath.isEmpty())
        return QStringLiteral("new-%1-%2-%3").arg(writer.pid).arg(startMs).arg(host);
    const QString key = QString::fromLatin1(
        QCryptographicHash::hash(canonicalPath.toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
    return QStringLiteral("%1-%2-%3-%4").arg(key, host).arg(writer.pid).arg(writer.start);
}

std::vector<Copy> listCopies(const QString &folder)
{
    std::vector<Copy> copies;
    const QDir dir(folder);
    const QStringList metas = dir.entryList({QStringLiteral("*") + kMetaExt}, QDir::Files, QDir::Name);
    for (const QString &name : metas) {
        Copy copy;
        copy.metaFile = dir.filePath(name);
        copy.deckFile = dir.filePath(name.chopped(kMetaExt.size()) + kDeckExt);
        QFile file(copy.metaFile);
        if (file.size() > kMaxMetaBytes || !QFileInfo(copy.deckFile).isFile() || !file.open(QIODevice::ReadOnly))
            continue;
        const std::optional<Meta> meta = readMeta(file.read(kMaxMetaBytes + 1));
        if (!meta)
            continue;
        copy.meta = *meta;
        copies.push_back(std::move(copy));
    }
    return copies;
}

bool removeCopy(const Copy &copy, const Writer &self)
{
    if (!(copy.meta.writer == self))
        return false;
    QFile::remove(copy.metaFile);
    QFile::remove(copy.deckFile);
    return true;
}

std::vector<Offer> offersAtStartup(const std::vector<Copy> &copies, const World &world)
{
    std::vector<Offer> offers;
    for (const Copy &copy : copies)
        if (!alive(world, copy.meta.writer))
            offers.push_back({copy, sameFileNow(copy, world) ? OfferAs::File : OfferAs::NewDeck});
    std::stable_sort(offers.begin(), offers.end(),
                     [](const Offer &a, const Offer &b) { return b.copy.meta.time < a.copy.meta.time; });
    return offers;
}

std::optional<Offer> offerForFile(const std::vector<Copy> &copies, const QString &canonicalPath,
                                  const World &world)
{
    std::optional<Offer> best;
    for (const Copy &copy : copies)
        if (!canonicalPath.isEmpty() && copy.meta.path == canonicalPath && !alive(world, copy.meta.writer)
            && sameFileNow(copy, world) && (!best || best->copy.meta.time < copy.meta.time))
            best = Offer{copy, OfferAs::File};
    return best;
}

QString question(const Offer &offer)
{
    const QString name = offer.as == OfferAs::File ? QFileInfo(offer.copy.meta.path).completeBaseName()
                                                   : QCoreApplication::translate("Mnemodeck", "a new deck");
    const QLocale locale;
    const QString when = locale.toString(offer.copy.meta.time, QLocale::ShortFormat);
    if (offer.copy.meta.cards == 1)
        return QCoreApplication::translate("Mnemodeck", "Unsaved changes to %1 from %2 (1 card) were found. Recover them?")
            .arg(name, when);
    return QCoreApplication::translate("Mnemodeck", "Unsaved changes to %1 from %2 (%3 cards) were found. Recover them?")
        .arg(name, when, locale.toString(offer.copy.meta.cards));
}

Snapshot::Snapshot(const Deck &deck)
    : tree_(deck.tree()), encoding_(deck.encoding()),
      open_(deck.showSubCategories() ? deck.tree().selectedName() : deck.oldTreeName()),
      openFromView_(!deck.showSubCategories())
{
    cards_.reserve(size_t(deck.fileCount()) + size_t(openFromView_ ? deck.viewCount() : 0));
}

int Snapshot::nameIndex(const QString &name)
{
    names_.push_back(name);
    return int(names_.size()) - 1;
}

bool Snapshot::gather(const Deck &deck, int cards)
{
    for (int done = 0; phase_ < 2 && done < cards; ++done) {
        if (phase_ == 1 && openFromView_) {
            if (next_ >= deck.viewCount()) {
                phase_ = 2;
                break;
            }
            if (lastIndex_ < 0 || !lastOpen_) {
                lastIndex_ = nameIndex(open_);
                lastOpen_ = true;
                lastName_ = nullptr;
            }
            cards_.push_back({deck.viewSide1(next_), deck.viewSide2(next_), lastIndex_});
            ++next_;
            continue;
        }
        if (next_ >= deck.fileCount()) {
            ++phase_;
            next_ = 0;
            continue;
        }
        const QString &name = deck.fileCategory(next_);
        if (&name != lastName_) {
            lastName_ = &name;
            lastIndex_ = nameIndex(name);
            lastOpen_ = sameText(name, open_);
        }
        // Phase 0 takes the other categories' cards, phase 1 the open one's.
        if (lastOpen_ == (phase_ == 1))
            cards_.push_back({deck.fileSide1(next_), deck.fileSide2(next_), lastIndex_});
        ++next_;
    }
    return phase_ >= 2;
}

Deck Snapshot::toDeck() const
{
    Deck deck;
    std::vector<CategoryTree::NodeId> ids(size_t(tree_.nodeCount()) + 1, tree_.root());
    for (CategoryTree::NodeId node : tree_.descendants(tree_.root()))
        if (size_t(node) < ids.size())
            ids[size_t(node)] = deck.addCategory(ids[size_t(tree_.parent(node))], tree_.name(node));
    deck.reserveFileCards(int(cards_.size()));
    for (const Card &card : cards_)
        deck.appendFileCard(card.side1, card.side2, names_[size_t(card.category)]);
    deck.setEncoding(encoding_);
    return deck;
}

WriteResult writeCopy(const Snapshot &snapshot, Meta meta, const QString &folder, const QString &baseName)
{
    if (!QDir().mkpath(folder))
        return {false, QCoreApplication::translate("Mnemodeck", "Cannot make the folder %1.").arg(folder)};
    // Only the owner may read unsaved cards.
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const Deck deck = snapshot.toDeck();
    meta.cards = deck.fileCount();
    meta.category = snapshot.openCategory();
    const QDir dir(folder);
    WriteResult result = cardfile::writeDeck(deck, dir.filePath(baseName + kDeckExt));
    if (result.ok)
        result = writeFileSafely(dir.filePath(baseName + kMetaExt), writeMeta(meta));
    return result;
}

Step afterCommand(const DeckStamp &before, const DeckStamp &now, bool enabled)
{
    if (!enabled || !now.differs)
        return Step::Remove;
    return now == before ? Step::Nothing : Step::Schedule;
}

} // namespace mdk::recovery
