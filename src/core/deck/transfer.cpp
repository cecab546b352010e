#include "transfer.h"

#include "cardfile.h"
#include "encoding.h"
#include "filenames.h"

#include <QCoreApplication>
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
using cardfile::FieldWriter;
using cardfile::FileBytes;
using cardfile::kTerminator;
using cardfile::leadingCount;

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

// Gathers the merged file in pieces and hands them to the safe writer,
// refusing to grow past the size limit, and tells how a reader will take the
// whole (each piece ends after a terminator, so no character is split).
class Sink {
public:
    enum class Status { Ok, TooLarge, Failed };
    static constexpr qsizetype kPiece = qsizetype(4) << 20;

    Sink(SafeWriter &file, qint64 limit) : file_(file), limit_(limit) {}

    QByteArray buffer;

    Status flush()
    {
        if (buffer.isEmpty())
            return Status::Ok;
        size_ += buffer.size();
        if (size_ > limit_)
            return Status::TooLarge;
        bool multi = false;
        if (!encoding::isValidUtf8(std::string_view(buffer.constData(), size_t(buffer.size())), &multi))
            invalid_ = true;
        multi_ = multi_ || multi;
        const bool ok = file_.write(buffer);
        buffer.clear();
        return ok ? Status::Ok : Status::Failed;
    }
    Status maybeFlush() { return buffer.size() < kPiece ? Status::Ok : flush(); }
    bool restart()
    {
        buffer.clear();
        size_ = 0;
        invalid_ = multi_ = false;
        return file_.restart();
    }
    bool readsAsUtf8() const { return !invalid_ && multi_; }

private:
    SafeWriter &file_;
    qint64 limit_;
    qint64 size_ = 0;
    bool invalid_ = false;
    bool multi_ = false;
};

// How one pass of the merge ended.
enum class Pass { Done, NeedsUtf8, TooLarge, Failed };

Pass passOf(Sink::Status status)
{
    return status == Sink::Status::Ok ? Pass::Done
                                      : status == Sink::Status::TooLarge ? Pass::TooLarge : Pass::Failed;
}

struct Source {
    FileBytes file;
    TextEncoding encoding = TextEncoding::Windows1252;
    size_t cardsAt = 0;
};

// The card records of one source, every category replaced by "Main".
Pass copyCards(Source &source, FieldWriter &out, Sink &sink, int &cards)
{
    FieldReader reader(source.file.bytes().substr(source.cardsAt));
    std::string_view side1, side2, category;
    while (reader.nextCard(side1, side2, category)) {
        if (!out.field(side1, source.encoding) || !out.field(side2, source.encoding))
            return Pass::NeedsUtf8;
        out.raw(cardfile::kMainField);
        ++cards;
        source.file.releaseUpTo(category);
        if (const Sink::Status status = sink.maybeFlush(); status != Sink::Status::Ok)
            return passOf(status);
    }
    return Pass::Done;
}

// A whole file's bytes, in pieces cut after a terminator.
Pass copyWhole(FileBytes &file, TextEncoding from, FieldWriter &out, Sink &sink)
{
    std::string_view rest = file.bytes();
    while (!rest.empty()) {
        size_t n = std::min(rest.size(), size_t(Sink::kPiece));
        if (n < rest.size()) {
            if (const void *cut = ::memrchr(rest.data(), kTerminator, n)) {
                n = size_t(static_cast<const char *>(cut) - rest.data()) + 1;
            } else {
                const void *next = std::memchr(rest.data() + n, kTerminator, rest.size() - n);
                n = next ? size_t(static_cast<const char *>(next) - rest.data()) + 1 : rest.size();
            }
        }
        if (!out.fields(rest.substr(0, n), from))
            return Pass::NeedsUtf8;
        rest.remove_prefix(n);
        file.releaseUpTo(rest);
        if (const Sink::Status status = sink.maybeFlush(); status != Sink::Status::Ok)
            return passOf(status);
    }
    return Pass::Done;
}

} // namespace

QString doesNotExist(const QString &listedName)
{
    return listedName + QCoreApplication::translate("Mnemodeck", " does not exist.");
}

QString mergedIntoItself(const QString &listedName)
{
    return listedName + QCoreApplication::translate("Mnemodeck", " is the destination file itself and cannot be merged into it.");
}

QString addedSourceName(const QString &typed)
{
    return typed.contains(QLatin1Char('.')) ? typed : typed + QStringLiteral(".mdk");
}


MergeResult mergeFiles(const QStringList &sources, const QString &destination, qint64 sizeLimit)
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
    const QString tooLarge =
        QCoreApplication::translate("Mnemodeck", "%1 would be larger than a card file can be, so nothing was merged into it.").arg(destName);
    FileBytes dest;
    Layout destLayout;
    TextEncoding destEncoding = TextEncoding::Windows1252;
    if (destExists) {
        if (!dest.open(destination)) {
            result.message = QCoreApplication::translate("Mnemodeck", "%1 could not be read, so nothing was merged into it.").arg(destName);
            return result;
        }
        destLayout = layoutOf(dest.bytes());
        if (!destLayout.current) {
            result.message =
                QCoreApplication::translate("Mnemodeck", "%1 is not a card file, so nothing was merged into it.").arg(destName);
            return result;
        }
        if (!destLayout.categoriesComplete) {
            result.message =
                QCoreApplication::translate("Mnemodeck", "%1 is damaged: it ends inside its categories, so nothing was merged into it.")
                    .arg(destName);
            return result;
        }
        destEncoding = encodingOf(classify(dest.bytes()));
        dest.release(dest.bytes().size()); // read again piece by piece below
    }

    // Each source once, even when listed twice.
    std::vector<std::unique_ptr<Source>> opened;
    std::unordered_map<std::string, Source *> byPath;
    std::vector<Source *> order;
    for (const QString &path : sources) {
        const QString name = shownName(path);
        if (destExists && names::sameFile(destination, path)) {
            result.message = mergedIntoItself(name);
            return result;
        }
        const std::string key = QFileInfo(path).canonicalFilePath().toStdString();
        auto it = byPath.find(key);
        if (it == byPath.end() || key.empty()) {
            auto source = std::make_unique<Source>();
            if (!source->file.open(path)) {
                result.message = key.empty() ? doesNotExist(name)
                                             : QCoreApplication::translate("Mnemodeck", "%1 could not be read.").arg(name);
                return result;
            }
            const Layout layout = layoutOf(source->file.bytes());
            if (!layout.current) {
                result.message = QCoreApplication::translate("Mnemodeck", "%1 is not a card file of this version.").arg(name);
                return result;
            }
            // A source cut inside its categories still gives its cards the
            // way a reader would: none.
            source->cardsAt = layout.categoriesComplete ? layout.cardsAt : source->file.bytes().size();
            source->encoding = encodingOf(classify(source->file.bytes()));
            source->file.release(source->file.bytes().size());
            it = byPath.emplace(key.empty() ? path.toStdString() : key, source.get()).first;
            opened.push_back(std::move(source));
        }
        order.push_back(it->second);
    }

    // One encoding for the whole result: a UTF-8 destination stays UTF-8
    // (its own bytes unchanged); otherwise Windows-1252 unless a text does not
    // fit, or the bytes would read back as UTF-8. The result goes to the
    // file piece by piece, so only the sources' pages in use are resident.
    SafeWriter file(destination);
    Sink sink(file, sizeLimit);
    auto assemble = [&](TextEncoding target) {
        result.cards = 0;
        FieldWriter writer(target, sink.buffer);
        Pass pass = Pass::Done;
        if (destExists) {
            pass = copyWhole(dest, destEncoding, writer, sink);
            writer.raw(destLayout.completion);
        } else {
            writer.raw(cardfile::kHeader);
        }
        for (size_t i = 0; pass == Pass::Done && i < order.size(); ++i)
            pass = copyCards(*order[i], writer, sink, result.cards);
        return pass == Pass::Done ? passOf(sink.flush()) : pass;
    };
    const TextEncoding first = destExists && destEncoding == TextEncoding::Utf8 ? TextEncoding::Utf8
                                                                                 : TextEncoding::Windows1252;
    Pass pass = assemble(first);
    if (first == TextEncoding::Windows1252
        && (pass == Pass::NeedsUtf8 || (pass == Pass::Done && sink.readsAsUtf8()))) {
        pass = sink.restart() ? assemble(TextEncoding::Utf8) : Pass::Failed;
    }
    if (pass == Pass::TooLarge) {
        file.cancel(tooLarge);
        result.message = tooLarge;
        result.cards = 0;
        return result;
    }
    const WriteResult written = file.commit();
    if (!written.ok) {
        result.message = QCoreApplication::translate("Mnemodeck", "%1 could not be written: %2").arg(destName, written.error);
        result.cards = 0;
        return result;
    }
    result.ok = true;
    return result;
}

namespace {

// The view's edits go into the file's cards before anything joins them, and
// the open category is shown again after, with whatever joined it.
template <typename Add>
InsertResult insertFolded(Deck &deck, Add &&add)
{
    if (!deck.showSubCategories())
        deck.WriteBackView();
    const cardfile::LoadReport report = add();
    deck.LoadView(deck.oldTreeName());
    return {true, report.storeFull, report.cards};
}

} // namespace

InsertResult insertBytes(std::string_view bytes, Deck &deck, const QString &target)
{
    return insertFolded(deck, [&] { return cardfile::addCardFile(bytes, deck, &target); });
}

InsertResult insertFile(const QString &path, Deck &deck, const QString &target)
{
    FileBytes file;
    if (!file.open(path))
        return {};
    return insertFolded(deck, [&] { return cardfile::addCardFile(file.bytes(), deck, &target, &file); });
}

QString copyTarget(const QString &destination, const QString &dir)
{
    QString name = destination;
    if (!name.contains(QLatin1Char('.')))
        name += QStringLiteral(".MDK");
    if (!name.toLower().contains(QStringLiteral(".mdk")))
        name += QStringLiteral(".mdk");
    return names::resolve(name, dir);
}

namespace {

// The card's three fields in the given encoding; false when a text has no
// Windows-1252 form.
bool cardBytes(const QString &side1, const QString &side2, TextEncoding encoding, QByteArray &out)
{
    FieldWriter writer(encoding, out);
    if (!writer.text(side1) || !writer.text(side2))
        return false;
    writer.raw(cardfile::kMainField);
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
        QByteArray bytes = cardfile::emptyFile();
        if (!cardBytes(side1, side2, TextEncoding::Windows1252, bytes)
            || classify(std::string_view(bytes.constData(), size_t(bytes.size()))) == Kind::Utf8) {
            bytes = cardfile::emptyFile();
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
            return refused(QCoreApplication::translate("Mnemodeck", "%1 could not be read, so the card was not copied.").arg(name));
        layout = layoutOf(existing.bytes());
        if (!layout.current)
            return refused(QCoreApplication::translate("Mnemodeck", "%1 is not a card file, so the card was not copied.").arg(name));
        if (!layout.categoriesComplete)
            return refused(
                QCoreApplication::translate("Mnemodeck", "%1 is damaged: it ends inside its categories, so the card was not copied.").arg(name));
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
            writer.fields(existing.bytes(), TextEncoding::Windows1252);
            writer.raw(layout.completion);
            cardBytes(side1, side2, TextEncoding::Utf8, whole);
            return writeFileSafely(path, whole);
        }

        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            // A read-only card file is made writable, as a save would.
            file.setPermissions(file.permissions() | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
                return refused(QCoreApplication::translate("Mnemodeck", "%1 could not be written: %2").arg(name, file.errorString()));
        }
        if (file.size() != oldSize) {
            // Changed under us since it was checked: leave it be.
            return refused(QCoreApplication::translate("Mnemodeck", "%1 changed while the card was being copied; try again.").arg(name));
        }
        const bool ok = file.write(card) == card.size() && ::fsync(file.handle()) == 0;
        if (!ok) {
            const QString error = file.errorString();
            // Straight to the descriptor: a failed write leaves nothing to flush.
            if (::ftruncate(file.handle(), oldSize) != 0)
                return refused(QCoreApplication::translate("Mnemodeck", "%1 could not be written and may now end in part of a card: %2")
                                   .arg(name, error));
            return refused(QCoreApplication::translate("Mnemodeck", "%1 could not be written: %2").arg(name, error));
        }
    }
    WriteResult done;
    done.ok = true;
    return done;
}

} // namespace mdk::transfer
