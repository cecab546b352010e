#include "transfer.h"

#include "cardfile.h"
#include "encoding.h"
#include "filenames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <cstring>
#include <string>
#include <unordered_map>

#include <sys/stat.h>
#include <unistd.h>

namespace mdk::transfer {

namespace {

using cardfile::FieldReader;
using cardfile::kTerminator;
using cardfile::FileBytes;
using cardfile::leadingCount;

constexpr std::string_view kMainBytes = "Main";
constexpr std::string_view kCardFileHead = "1\aMain\aRoot\a";

QString shownName(const QString &path)
{
    return QFileInfo(path).fileName();
}

// How a reader will take the bytes (see encoding::detect).
enum class Kind { Ascii, Utf8, Other };

Kind classify(std::string_view bytes)
{
    bool multi = false;
    if (!encoding::isValidUtf8(bytes, &multi))
        return Kind::Other;
    return multi ? Kind::Utf8 : Kind::Ascii;
}

TextEncoding encodingOf(Kind kind)
{
    return kind == Kind::Utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

// Where the cards of a current card file begin, and whether the file ends
// on a card boundary.
struct Layout {
    bool current = false;
    bool categoriesComplete = false; // every category record the count promises is there
    size_t cardsAt = 0;              // offset of the first card field
    // What appending must write first so that the next field starts a card:
    // a terminator for a last field without one, then empty fields for the
    // missing rest of a cut-off card.
    std::string completion;
};

Layout layoutOf(std::string_view bytes)
{
    Layout layout;
    layout.current = cardfile::testFormat(bytes) == cardfile::Format::Current;
    if (!layout.current)
        return layout;
    FieldReader reader(bytes);
    std::string_view field;
    reader.next(field);
    const int count = leadingCount(field);
    reader.next(field);
    reader.next(field);
    // A record cut short would take the first appended fields as a category.
    for (int i = 1; i < count; ++i) {
        if (!reader.next(field) || !reader.next(field))
            return layout;
    }
    const bool terminated = bytes.empty() || bytes.back() == kTerminator;
    if (!terminated && reader.atEnd())
        return layout; // the last category record lacks its terminator
    layout.categoriesComplete = true;
    const std::string_view rest = reader.remaining();
    layout.cardsAt = size_t(bytes.size() - rest.size());
    size_t fields = size_t(std::count(rest.begin(), rest.end(), kTerminator));
    if (!terminated) {
        layout.completion.push_back(kTerminator);
        ++fields;
    }
    layout.completion.append((3 - fields % 3) % 3, kTerminator);
    return layout;
}

// UTF-8 forms of the 256 Windows-1252 bytes.
const std::array<std::string, 256> &windows1252AsUtf8()
{
    static const std::array<std::string, 256> table = [] {
        std::array<std::string, 256> t;
        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            t[size_t(b)] = encoding::decodeWindows1252(std::string_view(&c, 1)).toStdString();
        }
        return t;
    }();
    return table;
}

void appendWindows1252AsUtf8(std::string_view bytes, QByteArray &out)
{
    const auto &table = windows1252AsUtf8();
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    while (p < end) {
        const char *ascii = p;
        while (p < end && static_cast<unsigned char>(*p) < 0x80)
            ++p;
        out.append(ascii, p - ascii);
        if (p < end) {
            const std::string &s = table[static_cast<unsigned char>(*p)];
            out.append(s.data(), qsizetype(s.size()));
            ++p;
        }
    }
}

bool isAscii(std::string_view bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Writes fields of files of either encoding into one output encoding.
class FieldWriter {
public:
    FieldWriter(TextEncoding target, QByteArray &out) : target_(target), out_(out) {}

    // False when the text has no form in the output encoding.
    bool copy(std::string_view field, TextEncoding from)
    {
        if (from == target_ || isAscii(field)) {
            out_.append(field.data(), qsizetype(field.size()));
        } else if (target_ == TextEncoding::Utf8) {
            appendWindows1252AsUtf8(field, out_);
        } else if (!encoding::appendWindows1252(encoding::decode(field, from), out_)) {
            return false;
        }
        out_.append(kTerminator);
        return true;
    }

    bool text(const QString &text)
    {
        if (target_ == TextEncoding::Utf8)
            encoding::appendUtf8(Deck::cleanText(text), out_);
        else if (!encoding::appendWindows1252(Deck::cleanText(text), out_))
            return false;
        out_.append(kTerminator);
        return true;
    }

    void raw(std::string_view bytes) { out_.append(bytes.data(), qsizetype(bytes.size())); }

    // A whole file's bytes (terminators and all) in the output encoding.
    bool file(std::string_view bytes, TextEncoding from)
    {
        if (from == target_ || isAscii(bytes)) {
            raw(bytes);
            return true;
        }
        if (target_ == TextEncoding::Utf8) {
            appendWindows1252AsUtf8(bytes, out_);
            return true;
        }
        return encoding::appendWindows1252(encoding::decode(bytes, from), out_);
    }

private:
    TextEncoding target_;
    QByteArray &out_;
};

bool sameFile(const struct stat &a, const QString &path)
{
    struct stat b;
    return ::stat(QFile::encodeName(path).constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

struct Source {
    FileBytes file;
    TextEncoding encoding = TextEncoding::Windows1252;
    size_t cardsAt = 0;
};

// The card records of one source, every category replaced by "Main".
// False when a text has no form in the output encoding.
bool copyCards(Source &source, FieldWriter &out, int &cards)
{
    const std::string_view bytes = source.file.bytes();
    FieldReader reader(bytes.substr(source.cardsAt));
    constexpr size_t kStretch = size_t(8) << 20;
    size_t released = 0;
    std::string_view side1, side2, category;
    while (reader.nextCard(side1, side2, category)) {
        if (!out.copy(side1, source.encoding) || !out.copy(side2, source.encoding))
            return false;
        out.raw("Main\a");
        ++cards;
        const size_t at = source.cardsAt + size_t(category.data() - bytes.substr(source.cardsAt).data());
        if (at - released >= kStretch) {
            released = at;
            source.file.release(released);
        }
    }
    return true;
}

} // namespace

QString doesNotExist(const QString &listedName)
{
    return listedName + QStringLiteral(" does not exist.");
}

QString mergedIntoItself(const QString &listedName)
{
    return listedName + QStringLiteral(" is the destination file itself and cannot be merged into it.");
}

QString addedSourceName(const QString &typed)
{
    return typed.contains(QLatin1Char('.')) ? typed : typed + QStringLiteral(".mdk");
}

QString browsedName(const QString &title)
{
    return title.contains(QLatin1Char('.')) ? title : title + QStringLiteral(".MDK");
}

QString resolve(const QString &name, const QString &dir)
{
    const QString path = QDir::cleanPath(QDir(dir).absoluteFilePath(name));
    if (QFileInfo::exists(path))
        return path;
    // ".MDK" added to "spanish" still reaches spanish.mdk: card file names
    // are matched without regard to letter case, as the program's own are.
    const QFileInfo info(path);
    return names::resolveCaseInsensitive(info.absolutePath(), info.fileName());
}

MergeResult mergeFiles(const QStringList &sources, const QString &destination)
{
    MergeResult result;
    const QString destName = shownName(destination);
    if (sources.isEmpty()) {
        result.message = kNoSource;
        return result;
    }

    // The destination, when it exists, must be a card file that merged cards
    // can follow.
    struct stat destStat;
    const bool destExists = ::stat(QFile::encodeName(destination).constData(), &destStat) == 0;
    FileBytes dest;
    Layout destLayout;
    TextEncoding destEncoding = TextEncoding::Windows1252;
    if (destExists) {
        if (!dest.open(destination)) {
            result.message = QStringLiteral("%1 could not be read, so nothing was merged into it.").arg(destName);
            return result;
        }
        destLayout = layoutOf(dest.bytes());
        if (!destLayout.current) {
            result.message =
                QStringLiteral("%1 is not a card file, so nothing was merged into it.").arg(destName);
            return result;
        }
        if (!destLayout.categoriesComplete) {
            result.message =
                QStringLiteral("%1 is damaged: it ends inside its categories, so nothing was merged into it.")
                    .arg(destName);
            return result;
        }
        destEncoding = encodingOf(classify(dest.bytes()));
    }

    // Each source once, even when listed twice.
    std::vector<std::unique_ptr<Source>> opened;
    std::unordered_map<std::string, Source *> byPath;
    std::vector<Source *> order;
    bool anyUtf8 = false;
    for (const QString &path : sources) {
        const QString name = shownName(path);
        if (destExists && sameFile(destStat, path)) {
            result.message = mergedIntoItself(name);
            return result;
        }
        const std::string key = QFileInfo(path).canonicalFilePath().toStdString();
        auto it = byPath.find(key);
        if (it == byPath.end() || key.empty()) {
            auto source = std::make_unique<Source>();
            if (!source->file.open(path)) {
                result.message = key.empty() ? doesNotExist(name)
                                             : QStringLiteral("%1 could not be read.").arg(name);
                return result;
            }
            const Layout layout = layoutOf(source->file.bytes());
            if (!layout.current) {
                result.message = QStringLiteral("%1 is not a card file of this version.").arg(name);
                return result;
            }
            // A source cut inside its categories still gives its cards the
            // way a reader would: none.
            source->cardsAt = layout.categoriesComplete ? layout.cardsAt : source->file.bytes().size();
            source->encoding = encodingOf(classify(source->file.bytes()));
            anyUtf8 = anyUtf8 || source->encoding == TextEncoding::Utf8;
            it = byPath.emplace(key.empty() ? path.toStdString() : key, source.get()).first;
            opened.push_back(std::move(source));
        }
        order.push_back(it->second);
    }

    // One encoding for the whole result: a UTF-8 destination stays UTF-8
    // (its own bytes unchanged); otherwise Windows-1252 unless a text does not
    // fit, or the bytes would read back as UTF-8.
    qsizetype reserve = qsizetype(dest.bytes().size()) + qsizetype(kCardFileHead.size()) + 16;
    for (const Source *s : order)
        reserve += qsizetype(s->file.bytes().size());
    QByteArray out;
    auto assemble = [&](TextEncoding target) {
        out.clear();
        out.reserve(target == TextEncoding::Utf8 && !anyUtf8 ? reserve + reserve / 8 : reserve);
        result.cards = 0;
        FieldWriter writer(target, out);
        if (destExists) {
            if (!writer.file(dest.bytes(), destEncoding))
                return false;
            writer.raw(destLayout.completion);
        } else {
            writer.raw(kCardFileHead);
        }
        for (Source *s : order)
            if (!copyCards(*s, writer, result.cards))
                return false;
        return true;
    };
    TextEncoding target = destExists && destEncoding == TextEncoding::Utf8 ? TextEncoding::Utf8
                                                                            : TextEncoding::Windows1252;
    if (target == TextEncoding::Windows1252
        && (!assemble(target)
            || classify(std::string_view(out.constData(), size_t(out.size()))) == Kind::Utf8))
        target = TextEncoding::Utf8;
    if (target == TextEncoding::Utf8)
        assemble(target);

    const WriteResult written = writeFileSafely(destination, out);
    if (!written.ok) {
        result.message = QStringLiteral("%1 could not be written: %2").arg(destName, written.error);
        result.cards = 0;
        return result;
    }
    result.ok = true;
    return result;
}

InsertResult insertBytes(std::string_view bytes, Deck &deck, const QString &target)
{
    deck.filehaschanged = 1;
    const cardfile::LoadReport report = cardfile::addCardFile(bytes, deck, &target);
    return {true, report.storeFull, report.cards};
}

InsertResult insertFile(const QString &path, Deck &deck, const QString &target)
{
    FileBytes file;
    if (!file.open(path))
        return {};
    deck.filehaschanged = 1;
    const cardfile::LoadReport report =
        cardfile::addCardFile(file.bytes(), deck, &target, [&](size_t upTo) { file.release(upTo); });
    return {true, report.storeFull, report.cards};
}

QString copyTarget(const QString &destination, const QString &dir)
{
    QString name = destination;
    if (!name.contains(QLatin1Char('.')))
        name += QStringLiteral(".MDK");
    if (!name.toLower().contains(QStringLiteral(".mdk")))
        name += QStringLiteral(".mdk");
    return resolve(name, dir);
}

namespace {

// The card's three fields in the given encoding; false when a text has no
// Windows-1252 form.
bool cardBytes(const QString &side1, const QString &side2, TextEncoding encoding, QByteArray &out)
{
    FieldWriter writer(encoding, out);
    if (!writer.text(side1) || !writer.text(side2))
        return false;
    writer.raw("Main\a");
    return true;
}

WriteResult refused(const QString &text)
{
    WriteResult result;
    result.error = text;
    return result;
}

} // namespace

WriteResult appendCard(const QString &path, const QString &side1, const QString &side2)
{
    const QString name = shownName(path);
    QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        QByteArray bytes(kCardFileHead.data(), qsizetype(kCardFileHead.size()));
        if (!cardBytes(side1, side2, TextEncoding::Windows1252, bytes)
            || classify(std::string_view(bytes.constData(), size_t(bytes.size()))) == Kind::Utf8) {
            bytes = QByteArray(kCardFileHead.data(), qsizetype(kCardFileHead.size()));
            cardBytes(side1, side2, TextEncoding::Utf8, bytes);
        }
        return writeFileSafely(path, bytes);
    }

    Layout layout;
    Kind kind = Kind::Ascii;
    qint64 oldSize = 0;
    {
        FileBytes existing;
        if (!existing.open(path))
            return refused(QStringLiteral("%1 could not be read, so the card was not copied.").arg(name));
        layout = layoutOf(existing.bytes());
        if (!layout.current)
            return refused(QStringLiteral("%1 is not a card file, so the card was not copied.").arg(name));
        if (!layout.categoriesComplete)
            return refused(
                QStringLiteral("%1 is damaged: it ends inside its categories, so the card was not copied.").arg(name));
        kind = classify(existing.bytes());
        oldSize = qint64(existing.bytes().size());

        // The card in the file's encoding. An all-ASCII file reads the same
        // as UTF-8, so the card may be UTF-8 there; only a Windows-1252 file
        // that cannot hold the card, or whose new bytes would read back as
        // UTF-8, is rewritten whole.
        QByteArray card = QByteArray::fromStdString(layout.completion);
        bool fits = true;
        if (kind == Kind::Utf8) {
            cardBytes(side1, side2, TextEncoding::Utf8, card);
        } else if (!cardBytes(side1, side2, TextEncoding::Windows1252, card)) {
            fits = false;
        } else if (kind == Kind::Ascii
                   && classify(std::string_view(card.constData(), size_t(card.size()))) == Kind::Utf8) {
            fits = false;
        }
        if (!fits && kind == Kind::Ascii) {
            card = QByteArray::fromStdString(layout.completion);
            cardBytes(side1, side2, TextEncoding::Utf8, card);
            fits = true;
        }
        if (!fits) {
            QByteArray whole;
            whole.reserve(qsizetype(existing.bytes().size()) * 2 + card.size() * 2);
            FieldWriter writer(TextEncoding::Utf8, whole);
            writer.file(existing.bytes(), TextEncoding::Windows1252);
            writer.raw(layout.completion);
            cardBytes(side1, side2, TextEncoding::Utf8, whole);
            return writeFileSafely(path, whole);
        }

        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            // A read-only card file is made writable, as a save would.
            file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
                return refused(QStringLiteral("%1 could not be written: %2").arg(name, file.errorString()));
        }
        if (file.size() != oldSize) {
            // Changed under us since it was checked: leave it be.
            return refused(QStringLiteral("%1 changed while the card was being copied; try again.").arg(name));
        }
        const bool ok = file.write(card) == card.size() && ::fsync(file.handle()) == 0;
        if (!ok) {
            const QString error = file.errorString();
            // Straight to the descriptor: a failed write leaves nothing to flush.
            if (::ftruncate(file.handle(), oldSize) != 0)
                return refused(QStringLiteral("%1 could not be written and may now end in part of a card: %2")
                                   .arg(name, error));
            return refused(QStringLiteral("%1 could not be written: %2").arg(name, error));
        }
    }
    WriteResult done;
    done.ok = true;
    return done;
}

} // namespace mdk::transfer
