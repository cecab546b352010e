// Flashcard packages: unpacking (libzip, libzstd), the collection read
// through Qt SQL, the cards rendered from their note types' templates; and
// the package writer, whose collection goes through SQLite's C interface.

#include "apkg.h"
#include "apkgtemplate.h"

#include "core/review/cardkey.h"
#include "core/review/progressstore.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QUuid>

#include <sqlite3.h>
#include <zip.h>
#include <zstd.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>

namespace mdk::exchange {

namespace {

// --- Protobuf: only what the newest layout's settings need.

class Proto {
public:
    explicit Proto(std::string_view bytes) : p_(bytes.data()), end_(bytes.data() + bytes.size()) {}

    // The next field; false at the end or on damage (then ok() is false).
    bool next(quint32 &field, quint32 &wire)
    {
        if (p_ == end_ || !ok_)
            return false;
        quint64 key = 0;
        if (!varint(key) || (key >> 3) == 0 || (key >> 3) > 0x1FFFFFFF)
            return fail();
        field = quint32(key >> 3);
        wire = quint32(key & 7);
        return true;
    }
    bool varint(quint64 &value)
    {
        value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (p_ == end_)
                return fail();
            const auto b = static_cast<unsigned char>(*p_++);
            value |= quint64(b & 0x7F) << shift;
            if (!(b & 0x80))
                return true;
        }
        return fail();
    }
    bool bytes(std::string_view &out)
    {
        quint64 n = 0;
        if (!varint(n) || n > quint64(end_ - p_))
            return fail();
        out = std::string_view(p_, size_t(n));
        p_ += n;
        return true;
    }
    bool skip(quint32 wire)
    {
        quint64 v = 0;
        std::string_view s;
        switch (wire) {
        case 0: return varint(v);
        case 1: return advance(8);
        case 2: return bytes(s);
        case 5: return advance(4);
        default: return fail(); // groups are not used by these messages
        }
    }
    bool ok() const { return ok_; }

private:
    bool advance(qsizetype n)
    {
        if (end_ - p_ < n)
            return fail();
        p_ += n;
        return true;
    }
    bool fail()
    {
        ok_ = false;
        return false;
    }
    const char *p_, *end_;
    bool ok_ = true;
};

// The string fields wanted (field number -> out), the varint ones likewise.
bool readProto(std::string_view bytes, std::initializer_list<std::pair<quint32, QString *>> strings,
               std::initializer_list<std::pair<quint32, quint64 *>> numbers)
{
    Proto in(bytes);
    quint32 field = 0, wire = 0;
    while (in.next(field, wire)) {
        bool used = false;
        for (const auto &[number, out] : strings)
            if (number == field && wire == 2) {
                std::string_view s;
                if (!in.bytes(s))
                    return false;
                *out = QString::fromUtf8(s.data(), qsizetype(s.size()));
                used = true;
            }
        for (const auto &[number, out] : numbers)
            if (number == field && wire == 0) {
                if (!in.varint(*out))
                    return false;
                used = true;
            }
        if (!used && !in.skip(wire))
            return false;
    }
    return in.ok();
}

// --- Zip

struct ZipCloser {
    void operator()(zip_t *z) const { zip_discard(z); }
};
struct ZipFileCloser {
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;
using ZipFile = std::unique_ptr<zip_file_t, ZipFileCloser>;

constexpr char kZstdMagic[] = "\x28\xB5\x2F\xFD";

// Reads one member in pieces, never more than limit bytes after zstd (when
// the member is compressed so) and the zip's own inflation; each piece goes
// to sink. The sizes in the archive's header are not trusted.
class MemberReader {
public:
    MemberReader(zip_t *zip, zip_int64_t index, qint64 limit) : zip_(zip), index_(index), limit_(limit) {}

    // Empty on success, else why not.
    template <typename Sink, typename Tick>
    QString read(Sink &&sink, Tick &&tick)
    {
        ZipFile file(zip_fopen_index(zip_, zip_uint64_t(index_), 0));
        if (!file)
            return QString::fromUtf8(zip_error_strerror(zip_get_error(zip_)));
        std::vector<char> in(1 << 20), out(ZSTD_DStreamOutSize());
        std::unique_ptr<ZSTD_DCtx, size_t (*)(ZSTD_DCtx *)> zstd(nullptr, ZSTD_freeDCtx);
        bool first = true, frameEnded = true;
        qint64 total = 0;
        for (;;) {
            const zip_int64_t n = zip_fread(file.get(), in.data(), in.size());
            if (n < 0)
                return QString::fromUtf8(zip_file_strerror(file.get()));
            if (n == 0)
                break;
            std::string_view piece(in.data(), size_t(n));
            if (first && piece.starts_with(std::string_view(kZstdMagic, 4))) {
                zstd.reset(ZSTD_createDCtx());
                if (!zstd)
                    return QCoreApplication::translate("Mnemodeck", "out of memory");
            }
            first = false;
            if (!zstd) {
                total += n;
                if (total > limit_)
                    return tooLarge();
                if (!sink(piece))
                    return QCoreApplication::translate("Mnemodeck", "it could not be written to a temporary file");
            } else {
                ZSTD_inBuffer input{piece.data(), piece.size(), 0};
                while (input.pos < input.size) {
                    ZSTD_outBuffer output{out.data(), out.size(), 0};
                    const size_t r = ZSTD_decompressStream(zstd.get(), &output, &input);
                    if (ZSTD_isError(r))
                        return QCoreApplication::translate("Mnemodeck", "its compressed data is damaged (%1)").arg(QString::fromUtf8(ZSTD_getErrorName(r)));
                    frameEnded = r == 0;
                    total += qint64(output.pos);
                    if (total > limit_)
                        return tooLarge();
                    if (output.pos > 0 && !sink(std::string_view(out.data(), output.pos)))
                        return QCoreApplication::translate("Mnemodeck", "it could not be written to a temporary file");
                }
            }
            if (!tick(total))
                return QStringLiteral("cancel");
        }
        if (zstd && !frameEnded)
            return QCoreApplication::translate("Mnemodeck", "its compressed data is cut off");
        return {};
    }

private:
    QString tooLarge() const
    {
        return QCoreApplication::translate("Mnemodeck", "it expands to more than %1 MB").arg(limit_ >> 20);
    }
    zip_t *zip_;
    zip_int64_t index_;
    qint64 limit_;
};

bool unsafeName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.startsWith(u'\\')
        || (name.size() >= 2 && name[1] == u':'))
        return true;
    const QStringList parts = QString(name).replace(u'\\', u'/').split(u'/');
    return parts.contains(QStringLiteral(".."));
}

bool isLink(zip_t *zip, zip_uint64_t i)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(zip, i, 0, &system, &attributes) != 0)
        return false;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

// --- The collection

struct NoteType {
    QString name;
    bool cloze = false;
    QStringList fields;
    struct Template {
        QString name, question, answer;
    };
    std::vector<Template> templates;
};

struct Reading {
    ParsedImport &result;
    const ImportOptions &options;
    const Progress &progress;
    std::unordered_map<qint64, NoteType> types{};
    std::unordered_map<qint64, QString> deckNames{}; // "::" between levels
    std::unordered_map<qint64, int> deckCategory{};  // deck id -> category index (-1: target)
    QHash<QString, int> categoryByPath{};
    int emptyLevels = 0;

    bool tick(qint64 done, qint64 total)
    {
        if (progress && !progress(done, total)) {
            result.cancelled = true;
            return false;
        }
        return true;
    }
};

// The category of a deck path, its parents made first.
int categoryOf(Reading &r, const QString &path)
{
    if (path.isEmpty())
        return -1;
    if (auto it = r.categoryByPath.constFind(path); it != r.categoryByPath.constEnd())
        return *it;
    int parent = -1;
    const qsizetype cut = path.lastIndexOf(QLatin1String("::"));
    if (cut >= 0)
        parent = categoryOf(r, path.left(cut));
    ImportedCategory c;
    c.name = path.mid(cut < 0 ? 0 : cut + 2).left(999);
    c.parent = parent;
    r.result.categories.push_back(c);
    const int index = int(r.result.categories.size()) - 1;
    r.categoryByPath.insert(path, index);
    return index;
}

// A deck's name with its levels cleaned: "\x1f" (the newest layout) or "::"
// between them, empty levels left out.
QString deckPath(Reading &r, QString name)
{
    name.replace(QChar(0x1f), QLatin1String("::"));
    QStringList levels = name.split(QLatin1String("::"));
    for (QString &level : levels)
        level = level.trimmed();
    const qsizetype before = levels.size();
    levels.removeAll(QString());
    if (levels.size() != before)
        ++r.emptyLevels;
    return levels.join(QLatin1String("::"));
}

QString sqlError(const QSqlQuery &q)
{
    return q.lastError().text();
}

bool hasTable(QSqlDatabase &db, const QString &name)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
    q.addBindValue(name);
    return q.exec() && q.next();
}

// Note types and decks of the older layouts: JSON in the col table.
QString readLegacyTypes(Reading &r, QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT models, decks FROM col")) || !q.next())
        return QCoreApplication::translate("Mnemodeck", "The collection's settings cannot be read (%1).").arg(sqlError(q));
    QJsonParseError error{};
    const QJsonDocument models = QJsonDocument::fromJson(q.value(0).toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !models.isObject())
        return QCoreApplication::translate("Mnemodeck", "The collection's note types cannot be read (%1).").arg(error.errorString());
    const QJsonDocument decks = QJsonDocument::fromJson(q.value(1).toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !decks.isObject())
        return QCoreApplication::translate("Mnemodeck", "The collection's decks cannot be read (%1).").arg(error.errorString());
    const QJsonObject all = models.object();
    for (auto it = all.begin(); it != all.end(); ++it) {
        const QJsonObject m = it.value().toObject();
        NoteType type;
        type.name = m.value(QLatin1String("name")).toString();
        type.cloze = m.value(QLatin1String("type")).toInt() == 1;
        std::map<int, QString> fields;
        for (const QJsonValue f : m.value(QLatin1String("flds")).toArray())
            fields[f.toObject().value(QLatin1String("ord")).toInt(int(fields.size()))] =
                f.toObject().value(QLatin1String("name")).toString();
        for (const auto &[ord, name] : fields)
            type.fields << name;
        std::map<int, NoteType::Template> templates;
        for (const QJsonValue t : m.value(QLatin1String("tmpls")).toArray()) {
            const QJsonObject o = t.toObject();
            templates[o.value(QLatin1String("ord")).toInt(int(templates.size()))] = {
                o.value(QLatin1String("name")).toString(), o.value(QLatin1String("qfmt")).toString(),
                o.value(QLatin1String("afmt")).toString()};
        }
        for (auto &[ord, t] : templates)
            type.templates.push_back(std::move(t));
        const qint64 id = m.contains(QLatin1String("id")) ? qint64(m.value(QLatin1String("id")).toDouble())
                                                         : it.key().toLongLong();
        r.types[id] = std::move(type);
    }
    const QJsonObject deckObjects = decks.object();
    for (auto it = deckObjects.begin(); it != deckObjects.end(); ++it) {
        const QJsonObject d = it.value().toObject();
        const qint64 id = d.contains(QLatin1String("id")) ? qint64(d.value(QLatin1String("id")).toDouble())
                                                         : it.key().toLongLong();
        r.deckNames[id] = deckPath(r, d.value(QLatin1String("name")).toString());
    }
    return {};
}

// The newest layout: note types, fields, templates and decks in tables,
// their settings as protobuf.
QString readTableTypes(Reading &r, QSqlDatabase &db)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT id, name, config FROM notetypes")))
        return QCoreApplication::translate("Mnemodeck", "The collection's note types cannot be read (%1).").arg(sqlError(q));
    while (q.next()) {
        NoteType &type = r.types[q.value(0).toLongLong()];
        type.name = q.value(1).toString();
        const QByteArray config = q.value(2).toByteArray();
        quint64 kind = 0;
        if (!readProto(std::string_view(config.constData(), size_t(config.size())), {}, {{1, &kind}}))
            return QCoreApplication::translate("Mnemodeck", "The settings of the note type \"%1\" are damaged.").arg(type.name);
        type.cloze = kind == 1;
    }
    if (!q.exec(QStringLiteral("SELECT ntid, name FROM fields ORDER BY ntid, ord")))
        return QCoreApplication::translate("Mnemodeck", "The collection's fields cannot be read (%1).").arg(sqlError(q));
    while (q.next())
        if (auto it = r.types.find(q.value(0).toLongLong()); it != r.types.end())
            it->second.fields << q.value(1).toString();
    if (!q.exec(QStringLiteral("SELECT ntid, name, config FROM templates ORDER BY ntid, ord")))
        return QCoreApplication::translate("Mnemodeck", "The collection's card templates cannot be read (%1).").arg(sqlError(q));
    while (q.next()) {
        auto it = r.types.find(q.value(0).toLongLong());
        if (it == r.types.end())
            continue;
        NoteType::Template t;
        t.name = q.value(1).toString();
        const QByteArray config = q.value(2).toByteArray();
        if (!readProto(std::string_view(config.constData(), size_t(config.size())), {{1, &t.question}, {2, &t.answer}},
                       {}))
            return QCoreApplication::translate("Mnemodeck", "The card template \"%1\" of \"%2\" is damaged.").arg(t.name, it->second.name);
        it->second.templates.push_back(std::move(t));
    }
    if (!q.exec(QStringLiteral("SELECT id, name FROM decks")))
        return QCoreApplication::translate("Mnemodeck", "The collection's decks cannot be read (%1).").arg(sqlError(q));
    while (q.next())
        r.deckNames[q.value(0).toLongLong()] = deckPath(r, q.value(1).toString());
    return {};
}

struct Skips {
    std::map<QString, int> reasons; // reason -> notes
    void add(const QString &why) { ++reasons[why]; }
    int total() const
    {
        int n = 0;
        for (const auto &[why, count] : reasons)
            n += count;
        return n;
    }
};

QString readCollection(Reading &r, QSqlDatabase &db, bool tables, qint64 &suspended, qint64 &buried,
                       qint64 &withMedia, QStringList &mediaNames, Skips &skips)
{
    for (const char *table : {"col", "notes", "cards"})
        if (!hasTable(db, QLatin1String(table)))
            return QCoreApplication::translate("Mnemodeck", "The collection is incomplete: it has no table \"%1\".").arg(QLatin1String(table));
    if (tables)
        for (const char *table : {"notetypes", "fields", "templates", "decks"})
            if (!hasTable(db, QLatin1String(table)))
                return QCoreApplication::translate("Mnemodeck", "The collection is incomplete: it has no table \"%1\".").arg(QLatin1String(table));
    if (QString why = tables ? readTableTypes(r, db) : readLegacyTypes(r, db); !why.isEmpty())
        return why;

    QSqlQuery q(db);
    q.setForwardOnly(true);
    qint64 total = 0;
    if (q.exec(QStringLiteral("SELECT count(*) FROM cards")) && q.next())
        total = q.value(0).toLongLong();
    // A card lent to a filtered deck belongs to its original one (odid).
    if (!q.exec(QStringLiteral("SELECT c.id, CASE WHEN c.odid != 0 THEN c.odid ELSE c.did END, c.ord, c.queue, "
                               "n.mid, n.flds, n.tags "
                               "FROM cards c JOIN notes n ON n.id = c.nid ORDER BY n.id, c.ord")))
        return QCoreApplication::translate("Mnemodeck", "The collection's cards cannot be read (%1).").arg(sqlError(q));

    std::unordered_map<qint64, int> cardIndex;
    QStringList values, media;
    qint64 done = 0;
    const qsizetype maxCards = r.options.maxCards;
    while (q.next()) {
        if ((++done & 1023) == 0 && !r.tick(300 + done * 500 / qMax<qint64>(total, 1), 1000))
            return {};
        if (maxCards >= 0 && qsizetype(r.result.cards.size()) >= maxCards)
            break;
        const auto type = r.types.find(q.value(4).toLongLong());
        if (type == r.types.end()) {
            skips.add(QCoreApplication::translate("Mnemodeck", "unknown note type"));
            continue;
        }
        const NoteType &nt = type->second;
        if (nt.fields.isEmpty()) {
            skips.add(QCoreApplication::translate("Mnemodeck", "note type without fields"));
            continue;
        }
        const QByteArray flds = q.value(5).toByteArray();
        if (flds.size() > kMaxNoteBytes) {
            skips.add(QCoreApplication::translate("Mnemodeck", "fields longer than 1 MB"));
            continue;
        }
        values = QString::fromUtf8(flds).split(QChar(0x1f));
        while (values.size() < nt.fields.size())
            values << QString();
        const int ord = q.value(2).toInt();
        const NoteType::Template *tmpl = nullptr;
        if (nt.cloze)
            tmpl = nt.templates.empty() ? nullptr : &nt.templates.front();
        else if (ord >= 0 && size_t(ord) < nt.templates.size())
            tmpl = &nt.templates[size_t(ord)];
        if (!tmpl) {
            skips.add(QCoreApplication::translate("Mnemodeck", "card template missing"));
            continue;
        }
        const qint64 deck = q.value(1).toLongLong();
        const QString deckName = r.deckNames.count(deck) ? r.deckNames[deck] : QString();
        apkg::TemplateContext context;
        context.names = &nt.fields;
        context.values = &values;
        context.tags = q.value(6).toString().trimmed();
        context.deck = deckName;
        context.cardName = tmpl->name;
        context.typeName = nt.name;
        context.cloze = nt.cloze ? ord + 1 : 0;
        context.question = true;
        const QString question = apkg::render(tmpl->question, context);
        context.question = false;
        context.frontSide.clear(); // side 2 holds the answer only
        const QString answer = apkg::answerPart(apkg::render(tmpl->answer, context));
        media.clear();
        ImportedCard card;
        card.side1 = apkg::sideText(question, &media);
        card.side2 = apkg::sideText(answer, &media);
        if (card.side1.isEmpty() && card.side2.isEmpty()) {
            skips.add(media.isEmpty() ? QCoreApplication::translate("Mnemodeck", "nothing to show") : QCoreApplication::translate("Mnemodeck", "pictures or sounds only"));
            continue;
        }
        if (!media.isEmpty()) {
            ++withMedia;
            for (const QString &name : std::as_const(media))
                if (mediaNames.size() < 3 && !mediaNames.contains(name))
                    mediaNames << name;
        }
        const int queue = q.value(3).toInt();
        if (queue == -1)
            ++suspended;
        else if (queue == -2 || queue == -3)
            ++buried;
        auto found = r.deckCategory.find(deck);
        if (found == r.deckCategory.end())
            found = r.deckCategory.emplace(deck, categoryOf(r, deckName)).first;
        card.category = found->second;
        cardIndex.emplace(q.value(0).toLongLong(), int(r.result.cards.size()));
        r.result.cards.push_back(std::move(card));
    }
    if (q.lastError().isValid())
        return QCoreApplication::translate("Mnemodeck", "The collection's cards cannot be read (%1).").arg(sqlError(q));
    if (maxCards >= 0 || !hasTable(db, QStringLiteral("revlog")))
        return {};

    qint64 reviews = 0;
    if (q.exec(QStringLiteral("SELECT count(*) FROM revlog")) && q.next())
        reviews = q.value(0).toLongLong();
    if (!q.exec(QStringLiteral("SELECT cid, id, ease, ivl, factor, time, type FROM revlog ORDER BY id")))
        return QCoreApplication::translate("Mnemodeck", "The collection's review history cannot be read (%1).").arg(sqlError(q));
    r.result.reviews.reserve(size_t(qMin<qint64>(reviews, 50'000'000)));
    done = 0;
    while (q.next()) {
        if ((++done & 4095) == 0 && !r.tick(800 + done * 200 / qMax<qint64>(reviews, 1), 1000))
            return {};
        const auto card = cardIndex.find(q.value(0).toLongLong());
        if (card == cardIndex.end())
            continue;
        ImportedReview review;
        review.card = card->second;
        review.time = q.value(1).toLongLong();
        review.grade = qBound(0, q.value(2).toInt(), 4);
        review.interval = q.value(3).toInt();
        review.factor = q.value(4).toInt();
        review.duration = q.value(5).toInt();
        review.kind = q.value(6).toInt();
        r.result.reviews.push_back(review);
    }
    return {};
}

// The number of files the media list names (JSON in the older layouts,
// protobuf in the newest); -1 when it cannot be read.
int mediaCount(const QByteArray &list)
{
    if (list.isEmpty())
        return 0;
    if (list.startsWith('{')) {
        const QJsonDocument doc = QJsonDocument::fromJson(list);
        return doc.isObject() ? int(doc.object().size()) : -1;
    }
    Proto in(std::string_view(list.constData(), size_t(list.size())));
    quint32 field = 0, wire = 0;
    int count = 0;
    while (in.next(field, wire)) {
        if (field == 1 && wire == 2) {
            std::string_view entry;
            QString name;
            if (!in.bytes(entry) || !readProto(entry, {{1, &name}}, {}))
                return -1;
            count += name.isEmpty() ? 0 : 1;
        } else if (!in.skip(wire)) {
            return -1;
        }
    }
    return in.ok() ? count : -1;
}

std::atomic<int> connectionCounter{0};

void readZip(zip_t *zip, const ImportOptions &options, ParsedImport &result, const Progress &progress)
{
    Reading r{result, options, progress, {}, {}, {}, {}, 0};
    const zip_int64_t entries = zip_get_num_entries(zip, 0);
    zip_int64_t collection = -1, media = -1;
    int rank = 0;
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char *raw = zip_get_name(zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString name = raw ? QString::fromUtf8(raw) : QString();
        if (unsafeName(name)) {
            result.error = QCoreApplication::translate("Mnemodeck", "The package is refused: it holds a file named \"%1\", outside its own folder.")
                               .arg(name.left(200));
            return;
        }
        if (isLink(zip, zip_uint64_t(i))) {
            result.error = QCoreApplication::translate("Mnemodeck", "The package is refused: it holds a link (\"%1\").").arg(name.left(200));
            return;
        }
        const int here = name == QLatin1String("collection.anki21b") ? 3
                         : name == QLatin1String("collection.anki21") ? 2
                         : name == QLatin1String("collection.anki2")  ? 1
                                                                      : 0;
        if (here > rank) {
            rank = here;
            collection = i;
        }
        if (name == QLatin1String("media"))
            media = i;
    }
    if (collection < 0) {
        result.error = QCoreApplication::translate("Mnemodeck", "The package holds no collection of cards.");
        return;
    }

    // SQLite reads a file: the collection is unpacked into a temporary one.
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/mnemodeck-package-XXXXXX.sqlite"));
    if (!file.open()) {
        result.error = QCoreApplication::translate("Mnemodeck", "The package could not be unpacked: %1").arg(file.errorString());
        return;
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    const qint64 expected = zip_stat_index(zip, zip_uint64_t(collection), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)
                                ? qint64(stat.size)
                                : 0;
    const QString why = MemberReader(zip, collection, collectionLimit())
                            .read([&file](std::string_view s) { return file.write(s.data(), qint64(s.size())) == qint64(s.size()); },
                                  [&](qint64 done) {
                                      // The header's size only paces the bar.
                                      return r.tick(expected > 0 ? qMin<qint64>(done * 300 / expected, 300) : 0, 1000);
                                  });
    if (result.cancelled)
        return;
    if (!why.isEmpty()) {
        result.error = QCoreApplication::translate("Mnemodeck", "The package's collection could not be unpacked: %1.").arg(why);
        return;
    }
    file.flush();
    file.seek(0);
    if (file.read(16) != QByteArray("SQLite format 3\0", 16)) {
        result.error = QCoreApplication::translate("Mnemodeck", "The package's collection is not an SQLite database.");
        return;
    }
    file.close();

    int mediaFiles = 0;
    if (media >= 0) {
        QByteArray list;
        const QString mediaWhy = MemberReader(zip, media, kMaxMediaListBytes)
                                     .read([&list](std::string_view s) { list.append(s.data(), qsizetype(s.size())); return true; },
                                           [](qint64) { return true; });
        mediaFiles = mediaWhy.isEmpty() ? mediaCount(list) : -1;
    }

    const QString connection = QStringLiteral("mnemodeck-package-%1").arg(connectionCounter.fetch_add(1));
    qint64 suspended = 0, buried = 0, withMedia = 0;
    QStringList mediaNames;
    Skips skips;
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file.fileName());
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            error = QCoreApplication::translate("Mnemodeck", "The package's collection cannot be opened (%1).").arg(db.lastError().text());
        else
            error = readCollection(r, db, rank == 3, suspended, buried, withMedia, mediaNames, skips);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (result.cancelled)
        return;
    if (!error.isEmpty()) {
        result.error = error;
        result.cards.clear();
        result.categories.clear();
        result.reviews.clear();
        return;
    }
    if (result.cards.empty() && skips.total() == 0) {
        result.error = QCoreApplication::translate("Mnemodeck", "The package holds no cards.");
        return;
    }

    QStringList notes;
    if (skips.total() > 0) {
        QStringList why;
        for (const auto &[reason, count] : skips.reasons)
            why << QStringLiteral("%1 (%2)").arg(reason).arg(count);
        notes << QCoreApplication::translate("Mnemodeck", "%1 cards were left out: %2").arg(skips.total()).arg(why.join(QLatin1String(", ")));
    }
    if (withMedia > 0)
        notes << QCoreApplication::translate("Mnemodeck", "%1 cards referred to pictures or sounds, which were left out (%2%3)")
                     .arg(withMedia)
                     .arg(mediaNames.join(QLatin1String(", ")))
                     .arg(mediaFiles > int(mediaNames.size()) || withMedia > mediaNames.size() ? QStringLiteral(", ...")
                                                                                              : QString());
    if (suspended + buried > 0)
        notes << QCoreApplication::translate("Mnemodeck", "%1 suspended and %2 buried cards came in as ordinary cards").arg(suspended).arg(buried);
    if (!result.reviews.empty())
        notes << QCoreApplication::translate("Mnemodeck", "the package's history holds %1 reviews of these cards").arg(result.reviews.size());
    if (r.emptyLevels > 0)
        notes << QCoreApplication::translate("Mnemodeck", "%1 deck names had empty levels, which were left out").arg(r.emptyLevels);
    if (mediaFiles < 0)
        notes << QCoreApplication::translate("Mnemodeck", "the package's list of media files is damaged");
    result.note = notes.join(QLatin1String("; "));
    if (result.cards.empty() && result.error.isEmpty())
        result.error = QCoreApplication::translate("Mnemodeck", "The package holds no cards that can be read: %1.").arg(result.note);
}

} // namespace

qint64 &collectionLimit()
{
    static qint64 limit = kMaxCollectionBytes;
    return limit;
}

bool looksLikePackage(std::string_view bytes)
{
    return bytes.starts_with(std::string_view("PK\x03\x04", 4)) || bytes.starts_with(std::string_view("PK\x05\x06", 4));
}

void readPackage(std::string_view bytes, const ImportOptions &options, ParsedImport &result, const Progress &progress)
{
    result.format = Format::Apkg;
    result.encoding = Encoding::Utf8;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    Zip zip(source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr);
    if (!zip) {
        if (source)
            zip_source_free(source);
        result.error = QCoreApplication::translate("Mnemodeck", "The file is not a readable package (a zip archive): %1")
                           .arg(QString::fromUtf8(zip_error_strerror(&error)));
        zip_error_fini(&error);
        return;
    }
    zip_error_fini(&error);
    readZip(zip.get(), options, result, progress);
}

void readPackageFile(const QString &path, const ImportOptions &options, ParsedImport &result, const Progress &progress)
{
    result.format = Format::Apkg;
    result.encoding = Encoding::Utf8;
    int code = 0;
    Zip zip(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code));
    if (!zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        result.error = QCoreApplication::translate("Mnemodeck", "The file is not a readable package (a zip archive): %1")
                           .arg(QString::fromUtf8(zip_error_strerror(&error)));
        zip_error_fini(&error);
        return;
    }
    readZip(zip.get(), options, result, progress);
}

// --- Export

std::vector<ExportReview> storedReviews(const QString &storePath)
{
    std::vector<ExportReview> out;
    if (!QFile::exists(storePath))
        return out;
    review::ProgressStore store(storePath);
    for (const review::ProgressStore::Review &r : store.reviewsSince(0))
        out.push_back({r.key, r.day, r.knew});
    return out;
}

namespace {

// The UTF-8 bytes of text into out (which is cleared first); an unpaired
// surrogate becomes U+FFFD, as QString::toUtf8 makes it.
void toUtf8(const QString &text, std::string &out)
{
    out.clear();
    const char16_t *p = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *const end = p + text.size();
    while (p != end) {
        char32_t c = *p++;
        if (c < 0x80) {
            out.push_back(char(c));
            continue;
        }
        if (c >= 0xD800 && c < 0xE000) {
            if (c < 0xDC00 && p != end && *p >= 0xDC00 && *p < 0xE000)
                c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(*p++) - 0xDC00);
            else
                c = 0xFFFD;
        }
        if (c < 0x800) {
            out.push_back(char(0xC0 | (c >> 6)));
        } else if (c < 0x10000) {
            out.push_back(char(0xE0 | (c >> 12)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (c >> 18)));
            out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        }
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

// A side as the field's HTML, appended to out: the text's metacharacters
// escaped, its line breaks as <br>. Every byte changed is ASCII, so the
// UTF-8 can be worked on bytewise.
void appendFieldHtml(std::string_view utf8, std::string &out)
{
    for (size_t i = 0; i < utf8.size(); ++i) {
        switch (const char c = utf8[i]) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '\r':
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') {
                out += "<br>";
                ++i;
            } else {
                out.push_back(c);
            }
            break;
        case '\n': out += "<br>"; break;
        default: out.push_back(c);
        }
    }
}

// The note's checksum: the first 8 hex digits of the SHA-1 of its first
// field as plain text, as a number.
qint64 checksum(QCryptographicHash &sha1, std::string_view utf8)
{
    sha1.reset();
    sha1.addData(QByteArrayView(utf8.data(), qsizetype(utf8.size())));
    const QByteArrayView sha = sha1.resultView();
    return qint64(quint32((uchar(sha[0]) << 24) | (uchar(sha[1]) << 16) | (uchar(sha[2]) << 8) | uchar(sha[3])));
}

// A note's globally unique id: 64 random-looking bits in base 91, as the
// format's own ids are; written into out (room for 11 digits), its length
// returned.
int guid(quint64 value, char *out)
{
    static const char digits[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!#$%&()*+,-./:;<=>?@[]^_`{|}~";
    int n = 0;
    do {
        out[n++] = digits[value % 91];
        value /= 91;
    } while (value);
    return n;
}

quint64 mix(quint64 x)
{
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    return x ^ (x >> 33);
}

const char *const kSchema[] = {
    "CREATE TABLE col (id integer primary key, crt integer not null, mod integer not null, scm integer not null,"
    " ver integer not null, dty integer not null, usn integer not null, ls integer not null, conf text not null,"
    " models text not null, decks text not null, dconf text not null, tags text not null)",
    "CREATE TABLE notes (id integer primary key, guid text not null, mid integer not null, mod integer not null,"
    " usn integer not null, tags text not null, flds text not null, sfld integer not null, csum integer not null,"
    " flags integer not null, data text not null)",
    "CREATE TABLE cards (id integer primary key, nid integer not null, did integer not null, ord integer not null,"
    " mod integer not null, usn integer not null, type integer not null, queue integer not null, due integer not null,"
    " ivl integer not null, factor integer not null, reps integer not null, lapses integer not null,"
    " left integer not null, odue integer not null, odid integer not null, flags integer not null, data text not null)",
    "CREATE TABLE revlog (id integer primary key, cid integer not null, usn integer not null, ease integer not null,"
    " ivl integer not null, lastIvl integer not null, factor integer not null, time integer not null,"
    " type integer not null)",
    "CREATE TABLE graves (usn integer not null, oid integer not null, type integer not null)",
};
// Readers import a package by reading it through; the indexes a program
// keeps for its own collection would only slow the export (a second per
// index at 1,000,000 cards), so none are written.

constexpr qint64 kModelId = 1342697561419; // any fixed id: one note type

// The collection is written through SQLite's C interface: Qt SQL's cost per
// bound value (a QVariant each, the text copied and converted) was most of
// an export's time.
struct DbCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// One prepared insert, run once per row: the values bound, the row
// written, the statement reset. Text is bound without a copy: the caller's
// buffers outlive the step.
class Insert {
public:
    Insert(sqlite3 *db, const char *sql)
    {
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) == SQLITE_OK)
            stmt_.reset(s);
    }
    bool ok() const { return bool(stmt_); }
    Insert &bind(int i, qint64 v)
    {
        bound_ = bound_ && sqlite3_bind_int64(stmt_.get(), i, v) == SQLITE_OK;
        return *this;
    }
    // Text beyond SQLite's length limit fails here (SQLITE_TOOBIG), and run() with it.
    Insert &bind(int i, std::string_view text)
    {
        bound_ = bound_ && sqlite3_bind_text64(stmt_.get(), i, text.data(), sqlite3_uint64(text.size()),
                                               SQLITE_STATIC, SQLITE_UTF8) == SQLITE_OK;
        return *this;
    }
    bool run()
    {
        const bool bound = std::exchange(bound_, true);
        const int rc = bound ? sqlite3_step(stmt_.get()) : SQLITE_ERROR;
        sqlite3_reset(stmt_.get());
        return rc == SQLITE_DONE;
    }

private:
    Statement stmt_;
    bool bound_ = true;
};

QString exportCollection(const ExportSet &set, const std::vector<ExportReview> &reviews, const QString &path,
                         const Progress &progress, bool &cancelled)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const QDate today = QDate::currentDate();
    const qint64 created = QDateTime(today, QTime(4, 0)).toSecsSinceEpoch();
    const qint64 createdDay = today.toJulianDay();

    // Decks: the categories by their "::" path; deck 1 is the default one
    // every collection has.
    std::vector<QString> paths(set.categories.size());
    QJsonObject decks;
    auto deckJson = [now](qint64 id, const QString &name) {
        QJsonObject d;
        d[QLatin1String("id")] = double(id);
        d[QLatin1String("name")] = name;
        d[QLatin1String("mod")] = double(now);
        d[QLatin1String("usn")] = -1;
        d[QLatin1String("desc")] = QString();
        d[QLatin1String("dyn")] = 0;
        d[QLatin1String("conf")] = 1;
        d[QLatin1String("collapsed")] = false;
        d[QLatin1String("browserCollapsed")] = false;
        d[QLatin1String("extendNew")] = 0;
        d[QLatin1String("extendRev")] = 0;
        for (const char *key : {"newToday", "revToday", "lrnToday", "timeToday"})
            d[QLatin1String(key)] = QJsonArray{0, 0};
        return d;
    };
    decks[QLatin1String("1")] = deckJson(1, QStringLiteral("Default"));
    std::vector<qint64> deckIds(set.categories.size(), 1);
    for (size_t i = 0; i < set.categories.size(); ++i) {
        QString name = set.categories[i].name;
        name.replace(QLatin1String("::"), QLatin1String(":"));
        const int parent = set.categories[i].parent;
        paths[i] = parent >= 0 && size_t(parent) < i ? paths[size_t(parent)] + QLatin1String("::") + name : name;
        deckIds[i] = created * 1000 + qint64(i) + 2;
        decks[QString::number(deckIds[i])] = deckJson(deckIds[i], paths[i]);
    }

    QJsonObject model;
    model[QLatin1String("id")] = double(kModelId);
    model[QLatin1String("name")] = QStringLiteral("Mnemodeck");
    model[QLatin1String("type")] = 0;
    model[QLatin1String("mod")] = double(now);
    model[QLatin1String("usn")] = -1;
    model[QLatin1String("sortf")] = 0;
    model[QLatin1String("did")] = 1;
    model[QLatin1String("tags")] = QJsonArray();
    model[QLatin1String("vers")] = QJsonArray();
    model[QLatin1String("css")] = QStringLiteral(".card { font-family: sans-serif; font-size: 20px; text-align: center; }");
    model[QLatin1String("latexPre")] = QStringLiteral("\\documentclass[12pt]{article}\n\\begin{document}\n");
    model[QLatin1String("latexPost")] = QStringLiteral("\\end{document}");
    model[QLatin1String("req")] = QJsonArray{QJsonArray{0, QStringLiteral("all"), QJsonArray{0}}};
    QJsonArray fields;
    for (int i = 0; i < 2; ++i) {
        QJsonObject f;
        f[QLatin1String("name")] = i == 0 ? QStringLiteral("Side 1") : QStringLiteral("Side 2");
        f[QLatin1String("ord")] = i;
        f[QLatin1String("sticky")] = false;
        f[QLatin1String("rtl")] = false;
        f[QLatin1String("font")] = QStringLiteral("Arial");
        f[QLatin1String("size")] = 20;
        f[QLatin1String("media")] = QJsonArray();
        fields.append(f);
    }
    model[QLatin1String("flds")] = fields;
    QJsonObject card;
    card[QLatin1String("name")] = QStringLiteral("Card 1");
    card[QLatin1String("ord")] = 0;
    card[QLatin1String("qfmt")] = QStringLiteral("{{Side 1}}");
    card[QLatin1String("afmt")] = QStringLiteral("{{FrontSide}}\n\n<hr id=answer>\n\n{{Side 2}}");
    card[QLatin1String("did")] = QJsonValue();
    card[QLatin1String("bqfmt")] = QString();
    card[QLatin1String("bafmt")] = QString();
    model[QLatin1String("tmpls")] = QJsonArray{card};
    QJsonObject models;
    models[QString::number(kModelId)] = model;

    QJsonObject dconf;
    {
        QJsonObject c;
        c[QLatin1String("id")] = 1;
        c[QLatin1String("name")] = QStringLiteral("Default");
        c[QLatin1String("mod")] = 0;
        c[QLatin1String("usn")] = 0;
        c[QLatin1String("maxTaken")] = 60;
        c[QLatin1String("autoplay")] = true;
        c[QLatin1String("timer")] = 0;
        c[QLatin1String("replayq")] = true;
        c[QLatin1String("dyn")] = false;
        QJsonObject n;
        n[QLatin1String("delays")] = QJsonArray{1, 10};
        n[QLatin1String("ints")] = QJsonArray{1, 4, 7};
        n[QLatin1String("initialFactor")] = 2500;
        n[QLatin1String("order")] = 1;
        n[QLatin1String("perDay")] = 20;
        n[QLatin1String("bury")] = false;
        c[QLatin1String("new")] = n;
        QJsonObject rev;
        rev[QLatin1String("perDay")] = 200;
        rev[QLatin1String("ease4")] = 1.3;
        rev[QLatin1String("ivlFct")] = 1;
        rev[QLatin1String("maxIvl")] = 36500;
        rev[QLatin1String("bury")] = false;
        rev[QLatin1String("hardFactor")] = 1.2;
        c[QLatin1String("rev")] = rev;
        QJsonObject lapse;
        lapse[QLatin1String("delays")] = QJsonArray{10};
        lapse[QLatin1String("mult")] = 0;
        lapse[QLatin1String("minInt")] = 1;
        lapse[QLatin1String("leechFails")] = 8;
        lapse[QLatin1String("leechAction")] = 1;
        c[QLatin1String("lapse")] = lapse;
        dconf[QLatin1String("1")] = c;
    }
    QJsonObject conf;
    conf[QLatin1String("nextPos")] = double(set.cards.size() + 1);
    conf[QLatin1String("curModel")] = double(kModelId);
    conf[QLatin1String("curDeck")] = 1;
    conf[QLatin1String("activeDecks")] = QJsonArray{1};
    conf[QLatin1String("sortType")] = QStringLiteral("noteFld");
    conf[QLatin1String("sortBackwards")] = false;
    conf[QLatin1String("newSpread")] = 0;
    conf[QLatin1String("collapseTime")] = 1200;
    conf[QLatin1String("timeLim")] = 0;
    conf[QLatin1String("estTimes")] = true;
    conf[QLatin1String("dueCounts")] = true;
    conf[QLatin1String("addToCur")] = true;

    // Reviews by card key, oldest first.
    std::unordered_multimap<qint64, const ExportReview *> byKey;
    byKey.reserve(reviews.size());
    for (const ExportReview &r : reviews)
        byKey.emplace(r.key, &r);

    sqlite3 *raw = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    Db db(raw);
    if (opened != SQLITE_OK)
        return raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QString::fromUtf8(sqlite3_errstr(opened));
    const auto failure = [&db] { return QString::fromUtf8(sqlite3_errmsg(db.get())); };
    // A temporary file that is zipped or thrown away: no journal, no syncs.
    for (const char *pragma : {"PRAGMA journal_mode = OFF", "PRAGMA synchronous = OFF", "PRAGMA page_size = 4096",
                               "PRAGMA locking_mode = EXCLUSIVE", "PRAGMA cache_size = -16384"})
        sqlite3_exec(db.get(), pragma, nullptr, nullptr, nullptr);
    for (const char *sql : kSchema)
        if (sqlite3_exec(db.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            return failure();
    if (sqlite3_exec(db.get(), "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return failure();

    const QByteArray confJson = QJsonDocument(conf).toJson(QJsonDocument::Compact);
    const QByteArray modelsJson = QJsonDocument(models).toJson(QJsonDocument::Compact);
    const QByteArray decksJson = QJsonDocument(decks).toJson(QJsonDocument::Compact);
    const QByteArray dconfJson = QJsonDocument(dconf).toJson(QJsonDocument::Compact);
    const auto view = [](const QByteArray &b) { return std::string_view(b.constData(), size_t(b.size())); };
    Insert col(db.get(), "INSERT INTO col VALUES (1, ?1, ?2, ?2, 11, 0, 0, 0, ?3, ?4, ?5, ?6, '{}')");
    if (!col.ok()
        || !col.bind(1, created).bind(2, now * 1000).bind(3, view(confJson)).bind(4, view(modelsJson))
                .bind(5, view(decksJson)).bind(6, view(dconfJson)).run())
        return failure();

    const QByteArray notesSql = QStringLiteral("INSERT INTO notes VALUES (?1, ?2, %1, %2, -1, '', ?3, ?4, ?5, 0, '')")
                                    .arg(kModelId).arg(now).toUtf8();
    const QByteArray cardsSql = QStringLiteral("INSERT INTO cards VALUES (?1, ?1, ?2, 0, %1, -1, ?3, ?3, ?4, ?5, ?6, ?7, ?8, "
                                               "0, 0, 0, 0, '')")
                                    .arg(now).toUtf8();
    Insert notes(db.get(), notesSql.constData());
    Insert cards(db.get(), cardsSql.constData());
    Insert revlog(db.get(), "INSERT INTO revlog VALUES (?1, ?2, -1, ?3, ?4, 0, 2500, 0, 1)");
    if (!notes.ok() || !cards.ok() || !revlog.ok())
        return failure();

    const qint64 base = created * 1000;
    const quint64 salt = quint64(QDateTime::currentMSecsSinceEpoch());
    std::unordered_map<qint64, qint64> answersAt, noonOf;
    struct RevlogRow {
        qint64 id, card;
        bool knew;
    };
    std::vector<RevlogRow> revlogRows;
    revlogRows.reserve(reviews.size());
    std::vector<const ExportReview *> answers;
    std::string side1, side2, flds; // reused: the rows' text is bound from them
    QCryptographicHash sha1(QCryptographicHash::Sha1);
    char id91[16];
    for (size_t i = 0; i < set.cards.size(); ++i) {
        if ((i & 4095) == 0 && progress && !progress(qint64(i), qint64(set.cards.size()))) {
            cancelled = true;
            return {};
        }
        const ExportCard &c = set.cards[i];
        const qint64 id = base + qint64(i);
        toUtf8(*c.side1, side1);
        toUtf8(*c.side2, side2);
        flds.clear();
        appendFieldHtml(side1, flds);
        flds.push_back('\x1f');
        appendFieldHtml(side2, flds);
        const int id91Length = guid(mix(salt ^ mix(quint64(i))), id91);
        if (!notes.bind(1, id).bind(2, std::string_view(id91, size_t(id91Length))).bind(3, flds)
                 .bind(4, side1).bind(5, checksum(sha1, side1)).run())
            return failure();

        // The card's answers, oldest first, become its review log;
        // a card with answers is a review card due a day after the last.
        // A card and its flipped twin share one key and one history: it
        // goes with the first of them only, so each answer is one row.
        answers.clear();
        if (!byKey.empty()) {
            const auto [first, end] = byKey.equal_range(review::cardKey(*c.side1, *c.side2));
            for (auto it = first; it != end; ++it)
                answers.push_back(it->second);
            byKey.erase(first, end);
        }
        std::sort(answers.begin(), answers.end(),
                  [](const ExportReview *a, const ExportReview *b) { return a->day < b->day; });
        int lapses = 0;
        for (const ExportReview *a : answers) {
            // A day's local noon once per day: each local-time conversion
            // looks at the system's time zone file.
            auto noon = noonOf.find(a->day);
            if (noon == noonOf.end())
                noon = noonOf.emplace(a->day, QDateTime(QDate::fromJulianDay(a->day), QTime(12, 0)).toMSecsSinceEpoch()).first;
            const qint64 at = noon->second;
            // Ids are times in ms and unique: the answers of one day (all at
            // its noon) take the milliseconds after it.
            const qint64 revlogId = at + answersAt[at]++;
            revlogRows.push_back({revlogId, id, a->knew});
            lapses += a->knew ? 0 : 1;
        }
        const bool reviewed = !answers.empty();
        const qint64 deck = c.node >= 0 && size_t(c.node) < deckIds.size() ? deckIds[size_t(c.node)] : 1;
        const qint64 due = reviewed ? qMax<qint64>(0, answers.back()->day + 1 - createdDay) : qint64(i + 1);
        if (!cards.bind(1, id).bind(2, deck).bind(3, reviewed ? 2 : 0).bind(4, due).bind(5, reviewed ? 1 : 0)
                 .bind(6, reviewed ? 2500 : 0).bind(7, qint64(answers.size())).bind(8, lapses).run())
            return failure();
    }
    // In id order, each row goes at the table's end.
    std::sort(revlogRows.begin(), revlogRows.end(),
              [](const RevlogRow &a, const RevlogRow &b) { return a.id < b.id; });
    for (const RevlogRow &row : revlogRows)
        if (!revlog.bind(1, row.id).bind(2, row.card).bind(3, row.knew ? 3 : 1).bind(4, row.knew ? 1 : 0).run())
            return failure();
    if (sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        return failure();
    return {};
}

} // namespace

WriteResult writePackage(const ExportSet &set, const std::vector<ExportReview> &reviews, const QString &path,
                         const Progress &progress)
{
    WriteResult result;
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/mnemodeck-export-XXXXXX"));
    if (!work.isValid()) {
        result.error = work.errorString();
        return result;
    }
    const QString collection = work.filePath(QStringLiteral("collection.anki2"));
    bool cancelled = false;
    const QString why = exportCollection(set, reviews, collection, progress, cancelled);
    if (cancelled) {
        result.error = QCoreApplication::translate("Mnemodeck", "cancelled");
        return result;
    }
    if (!why.isEmpty()) {
        result.error = why;
        return result;
    }

    // The archive is made beside the collection, then copied safely over
    // the target, so that a failure leaves the old file.
    const QString archive = work.filePath(QStringLiteral("package.zip"));
    int code = 0;
    zip_t *zip = zip_open(QFile::encodeName(archive).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip) {
        result.error = QCoreApplication::translate("Mnemodeck", "the package could not be made");
        return result;
    }
    static const char kMedia[] = "{}";
    zip_source_t *db = zip_source_file(zip, QFile::encodeName(collection).constData(), 0, -1);
    zip_source_t *media = zip_source_buffer(zip, kMedia, 2, 0);
    zip_int64_t dbIndex = db ? zip_file_add(zip, "collection.anki2", db, ZIP_FL_ENC_UTF_8) : -1;
    if (dbIndex < 0 && db)
        zip_source_free(db);
    const zip_int64_t mediaIndex = media ? zip_file_add(zip, "media", media, ZIP_FL_ENC_UTF_8) : -1;
    if (mediaIndex < 0 && media)
        zip_source_free(media);
    if (dbIndex >= 0)
        zip_set_file_compression(zip, zip_uint64_t(dbIndex), ZIP_CM_DEFLATE, 1); // fast: most of it is text
    if (dbIndex < 0 || mediaIndex < 0 || zip_close(zip) != 0) {
        result.error = QString::fromUtf8(zip_error_strerror(zip_get_error(zip)));
        zip_discard(zip);
        return result;
    }

    QFile in(archive);
    if (!in.open(QIODevice::ReadOnly)) {
        result.error = in.errorString();
        return result;
    }
    SafeWriter out(path);
    QByteArray buffer;
    while (!(buffer = in.read(1 << 20)).isEmpty())
        if (!out.write(buffer))
            break;
    return out.commit();
}

} // namespace mdk::exchange
