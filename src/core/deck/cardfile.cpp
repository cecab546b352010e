#include "cardfile.h"

#include "encoding.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <unordered_map>

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mdk::cardfile {

namespace {

const QString kRoot = QStringLiteral("Root");
constexpr std::string_view kMainBytes = "Main";
constexpr std::string_view kRootBytes = "Root";

// A field as text; NUL bytes never reach the deck.
QString fieldText(std::string_view field, TextEncoding encoding)
{
    if (field.empty() || std::memchr(field.data(), 0, field.size()) == nullptr)
        return encoding::decode(field, encoding);
    std::string cleaned;
    cleaned.reserve(field.size());
    for (char c : field)
        if (c != 0)
            cleaned.push_back(c);
    return encoding::decode(cleaned, encoding);
}

// Collects the output, switching to UTF-8 as soon as a text has no
// Windows-1252 form.
class Encoder {
public:
    Encoder(TextEncoding preferred, qsizetype reserve) : encoding_(preferred)
    {
        out_.reserve(reserve);
    }

    // False when the encoding had to change; the caller starts over. A side
    // that must not be empty is written as a single space.
    bool field(const QString &text, bool spaceIfEmpty = false)
    {
        if (FieldWriter(encoding_, out_).text(text, spaceIfEmpty))
            return true;
        encoding_ = TextEncoding::Utf8;
        return false;
    }

    TextEncoding encoding() const { return encoding_; }
    QByteArray take() { return std::move(out_); }
    const QByteArray &bytes() const { return out_; }
    void restart() { out_.clear(); }
    void useUtf8() { encoding_ = TextEncoding::Utf8; }

private:
    TextEncoding encoding_;
    QByteArray out_;
};

template <typename Emit>
QByteArray encodeAll(TextEncoding preferred, qsizetype reserve, TextEncoding *used, Emit emit)
{
    Encoder enc(preferred, reserve);
    bool complete = emit(enc);
    // Single-byte output that happens to be valid UTF-8 would be read back as
    // UTF-8, giving other text; such a deck is written as UTF-8 instead.
    if (complete && enc.encoding() == TextEncoding::Windows1252) {
        const QByteArray &bytes = enc.bytes();
        if (encoding::detect(std::string_view(bytes.constData(), size_t(bytes.size())))
            == TextEncoding::Utf8) {
            enc.useUtf8();
            complete = false;
        }
    }
    if (!complete) {
        enc.restart();
        emit(enc); // now UTF-8, which takes every text
    }
    if (used)
        *used = enc.encoding();
    return enc.take();
}

qsizetype estimateSize(const Deck &deck)
{
    // The category records too: a buffer short by a few bytes at the very
    // end is copied whole to grow, twice the file in memory for a moment.
    qsizetype total = 64;
    const CategoryTree &tree = deck.tree();
    for (CategoryTree::NodeId id : tree.preorder(tree.root()))
        total += tree.name(id).size() + (id == tree.root() ? 4 : tree.name(tree.parent(id)).size()) + 2;
    for (int j = 0; j < deck.fileCount(); ++j)
        total += deck.fileSide1(j).size() + deck.fileSide2(j).size() + deck.fileCategory(j).size() + 3;
    return total;
}

bool isAscii(std::string_view bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

bool FieldWriter::text(const QString &text, bool spaceIfEmpty)
{
    if (spaceIfEmpty && text.isEmpty())
        return this->text(QStringLiteral(" "));
    // In both encodings the bytes 0x07 and 0x00 only come from those
    // characters, so a quick look at the bytes written tells whether the
    // text needed cleaning; the rare text that did is written again.
    const qsizetype start = out_.size();
    auto append = [&](const QString &t) {
        if (target_ == TextEncoding::Utf8) {
            encoding::appendUtf8(t, out_);
            return true;
        }
        return encoding::appendWindows1252(t, out_);
    };
    if (!append(text))
        return false;
    const char *written = out_.constData() + start;
    const size_t length = size_t(out_.size() - start);
    if (std::memchr(written, kTerminator, length) || std::memchr(written, 0, length)) {
        out_.truncate(start);
        const QString clean = Deck::cleanText(text);
        append(spaceIfEmpty && clean.isEmpty() ? QStringLiteral(" ") : clean);
    }
    terminator();
    return true;
}

bool FieldWriter::field(std::string_view bytes, TextEncoding from)
{
    if (!copy(bytes, from, true))
        return false;
    terminator();
    return true;
}

bool FieldWriter::fields(std::string_view bytes, TextEncoding from)
{
    return copy(bytes, from, false);
}

bool FieldWriter::copy(std::string_view bytes, TextEncoding from, bool dropTerminators)
{
    std::string cleaned;
    if (!bytes.empty()
        && (std::memchr(bytes.data(), 0, bytes.size())
            || (dropTerminators && std::memchr(bytes.data(), kTerminator, bytes.size())))) {
        cleaned.reserve(bytes.size());
        for (char c : bytes)
            if (c != 0 && !(dropTerminators && c == kTerminator))
                cleaned.push_back(c);
        bytes = cleaned;
    }
    if (from == target_ || isAscii(bytes)) {
        raw(bytes);
        return true;
    }
    if (target_ == TextEncoding::Utf8) {
        encoding::appendWindows1252AsUtf8(bytes, out_);
        return true;
    }
    const qsizetype start = out_.size();
    if (encoding::appendWindows1252(encoding::decode(bytes, from), out_))
        return true;
    out_.truncate(start);
    return false;
}

bool FieldReader::next(std::string_view &field)
{
    if (pos_ >= bytes_.size())
        return false;
    const char *start = bytes_.data() + pos_;
    const size_t left = bytes_.size() - pos_;
    const void *hit = std::memchr(start, kTerminator, left);
    const size_t len = hit ? size_t(static_cast<const char *>(hit) - start) : left;
    field = std::string_view(start, len);
    pos_ += len + 1;
    return true;
}

Format testFormat(std::string_view bytes)
{
    FieldReader reader(bytes);
    std::string_view f1, f2, f3;
    reader.next(f1);
    const bool has2 = reader.next(f2);
    const bool has3 = reader.next(f3);
    return has2 && has3 && f2 == kMainBytes && f3 == kRootBytes ? Format::Current
                                                                  : Format::Earlier;
}

bool openForReading(QFile &file, const QString &path, QString *error)
{
    auto refuse = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QString notRegular = QCoreApplication::translate("Mnemodeck", "It is not a regular file.");
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return refuse(QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(st.st_mode))
        return refuse(notRegular);
    // Non-blocking, so that a FIFO put in its place since cannot hang us.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return refuse(QString::fromLocal8Bit(std::strerror(errno)));
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return refuse(notRegular);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(file.errorString());
    }
    return true;
}

bool canRead(const QString &path)
{
    QFile file;
    return openForReading(file, path);
}

Format testFormatOfFile(const QString &path)
{
    QFile file;
    if (!openForReading(file, path))
        return Format::NotFound;
    // The signature sits in the first three fields; a few kilobytes hold
    // them unless the count field is absurd, which is not current anyway.
    const QByteArray head = file.read(64 * 1024);
    return testFormat(std::string_view(head.constData(), size_t(head.size())));
}

int leadingCount(std::string_view field)
{
    qint64 n = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            break;
        n = qMin<qint64>(n * 10 + (c - '0'), qint64(1) << 40);
    }
    return int(qMin<qint64>(n, std::numeric_limits<int>::max()));
}

bool FileBytes::open(const QString &path, QString *error)
{
    if (!openForReading(file_, path, error))
        return false;
    if (file_.size() > kMaxFileSize) {
        if (error)
            *error = QCoreApplication::translate("Mnemodeck", "The file is too large to be a card file.");
        return false;
    }
    const qint64 size = file_.size();
    if (size == 0)
        return true;
    if (uchar *mapped = file_.map(0, size)) {
        mapped_ = mapped;
        ::madvise(mapped, size_t(size), MADV_SEQUENTIAL);
        bytes_ = std::string_view(reinterpret_cast<const char *>(mapped), size_t(size));
        return true;
    }
    copy_ = file_.readAll();
    if (file_.error() != QFileDevice::NoError) {
        if (error)
            *error = file_.errorString();
        return false;
    }
    bytes_ = std::string_view(copy_.constData(), size_t(copy_.size()));
    return true;
}

void FileBytes::release(size_t offset)
{
    if (!mapped_)
        return;
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    ::madvise(mapped_, offset / page * page, MADV_DONTNEED);
    released_ = offset;
}

void FileBytes::releaseUpTo(std::string_view field)
{
    constexpr size_t kStretch = size_t(8) << 20;
    const size_t at = size_t(field.data() - bytes_.data());
    if (at > bytes_.size())
        return;
    if (at < released_)
        released_ = 0; // read again from the start
    if (at - released_ >= kStretch)
        release(at);
}

LoadReport addCardFile(std::string_view bytes, Deck &deck, const QString *graftUnder, FileBytes *pages)
{
    LoadReport report;
    const TextEncoding enc = encoding::detect(bytes);
    report.encoding = enc;
    auto grafted = [&](QString name) {
        return graftUnder && name == CategoryTree::kMainName ? *graftUnder : name;
    };

    FieldReader reader(bytes);
    std::string_view field;
    const int count = reader.next(field) ? leadingCount(field) : 0;
    reader.next(field);
    reader.next(field);

    for (int i = 1; i < count; ++i) {
        std::string_view nameField, parentField;
        if (!reader.next(nameField))
            break; // the file ended: no further records to trust
        if (!reader.next(parentField))
            parentField = {};
        const QString name = fieldText(nameField, enc);
        if (graftUnder && deck.tree().contains(name))
            continue; // its cards join the category already there
        deck.addCategory(deck.tree().findCategory(grafted(fieldText(parentField, enc))), name);
    }

    // Category fields repeat a handful of names: decode each once and let
    // the cards share the text.
    std::unordered_map<std::string_view, QString> catNames;
    // Sizing the cards once from the number of terminators left saves
    // moving a million cards around while they grow.
    const std::string_view rest = reader.remaining();
    deck.reserveFileCards(int(std::min<size_t>(
        size_t(std::count(rest.begin(), rest.end(), kTerminator)) / 3 + 1, size_t(INT_MAX))));

    // Side texts are the bulk of a deck: their characters go into shared
    // blocks rather than a heap block each.
    TextPool pool;
    auto sideText = [&](std::string_view f) {
        if (!f.empty() && std::memchr(f.data(), 0, f.size()) != nullptr)
            return fieldText(f, enc);
        return pool.make(qsizetype(f.size()),
                         [&](char16_t *out) { return encoding::decodeInto(f, enc, out); });
    };

    std::string_view side1, side2, category;
    while (reader.nextCard(side1, side2, category)) {
        auto it = catNames.find(category);
        if (it == catNames.end())
            it = catNames.emplace(category, grafted(fieldText(category, enc))).first;
        if (!deck.appendFileCard(sideText(side1), sideText(side2), it->second)) {
            report.storeFull = true;
            break;
        }
        ++report.cards;
        if (pages)
            pages->releaseUpTo(category);
    }
    return report;
}

namespace {

// Replaces the deck with the card file in bytes.
LoadReport load(std::string_view bytes, Deck &deck, FileBytes *pages)
{
    const Deck::Unrecorded reading(deck);
    deck.clear();
    LoadReport report = addCardFile(bytes, deck, nullptr, pages);
    deck.setEncoding(report.encoding);
    deck.LoadView(CategoryTree::kMainName);
    deck.markSaved();
    return report;
}

} // namespace

LoadReport parse(std::string_view bytes, Deck &deck)
{
    return load(bytes, deck, nullptr);
}

ReadResult read(const QString &path, Deck &deck)
{
    ReadResult result;
    // A mapped file costs no copy, and the pages already parsed are handed
    // back as the reading goes on, so the file's bytes and the whole deck are
    // never held at the same time.
    FileBytes file;
    if (!file.open(path, &result.error))
        return result;
    result.opened = true;
    result.report = load(file.bytes(), deck, &file);
    return result;
}

QByteArray serializeDeck(const Deck &deck, TextEncoding *encodingUsed)
{
    const CategoryTree &tree = deck.tree();
    const std::vector<CategoryTree::NodeId> nodes = tree.descendants(tree.root());
    return encodeAll(deck.encoding(), estimateSize(deck), encodingUsed, [&](Encoder &out) {
        bool ok = out.field(QString::number(tree.nodeCount())) && out.field(CategoryTree::kMainName)
                  && out.field(kRoot);
        for (size_t i = 0; ok && i < nodes.size(); ++i)
            ok = out.field(tree.name(nodes[i])) && out.field(tree.name(tree.parent(nodes[i])));
        for (int j = 0; ok && j < deck.fileCount(); ++j)
            ok = out.field(deck.fileSide1(j), true) && out.field(deck.fileSide2(j), true)
                 && out.field(deck.fileCategory(j));
        return ok;
    });
}

QByteArray serializeCategory(const Deck &deck, CategoryTree::NodeId selected)
{
    const CategoryTree &tree = deck.tree();
    const QString selectedName = tree.name(selected);
    const std::vector<CategoryTree::NodeId> nodes = tree.descendants(selected);
    const std::vector<std::vector<int>> cards = deck.cardsOfCategories(nodes);
    return encodeAll(deck.encoding(), estimateSize(deck), nullptr, [&](Encoder &out) {
        bool ok = out.field(QString::number(nodes.size() + 1)) && out.field(CategoryTree::kMainName)
                  && out.field(kRoot);
        for (size_t i = 0; ok && i < nodes.size(); ++i) {
            const QString &parentName = tree.name(tree.parent(nodes[i]));
            ok = out.field(tree.name(nodes[i]))
                 && out.field(parentName == selectedName ? CategoryTree::kMainName : parentName);
        }
        for (int k = 0; ok && k < deck.viewCount(); ++k)
            ok = out.field(deck.viewSide1(k)) && out.field(deck.viewSide2(k))
                 && out.field(CategoryTree::kMainName);
        for (size_t i = 0; ok && i < nodes.size(); ++i)
            for (size_t c = 0; ok && c < cards[i].size(); ++c) {
                const int j = cards[i][c];
                ok = out.field(deck.fileSide1(j)) && out.field(deck.fileSide2(j))
                     && out.field(tree.name(nodes[i]));
            }
        return ok;
    });
}

WriteResult writeDeck(const Deck &deck, const QString &path, TextEncoding *encodingUsed)
{
    TextEncoding used = deck.encoding();
    const QByteArray bytes = serializeDeck(deck, &used);
    WriteResult result = writeFileSafely(path, bytes);
    if (result.ok && encodingUsed)
        *encodingUsed = used;
    return result;
}

WriteResult writeCategory(const Deck &deck, CategoryTree::NodeId selected, const QString &path)
{
    return writeFileSafely(path, serializeCategory(deck, selected));
}

} // namespace mdk::cardfile
