// Reading delimited text and flashcard text exports, and what both share
// with the vocabulary reader: encodings, detection, the file and the
// preview.

#include "exchange.h"
#include "apkg.h"
#include "kvtml.h"

#include "core/category/categorycommands.h"
#include "core/deck/cardfile.h"
#include "core/deck/encoding.h"
#include "core/deck/textpool.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstring>

namespace mdk::exchange {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
// The preview reads this much of a file at most.
constexpr qint64 kPreviewBytes = 256 * 1024;
// Progress is reported (and a cancel seen) every so many records.
constexpr int kProgressEvery = 1 << 14;

bool hasNul(std::string_view bytes)
{
    return std::memchr(bytes.data(), 0, bytes.size()) != nullptr;
}

// UTF-16 without a byte-order mark: most of the first characters are ASCII,
// so one byte of each pair is zero. 0 none, 1 little-endian, 2 big-endian.
int bareUtf16(std::string_view bytes)
{
    const size_t n = std::min<size_t>(bytes.size(), 4096) & ~size_t(1);
    if (n < 4)
        return 0;
    size_t evenZero = 0, oddZero = 0;
    for (size_t i = 0; i < n; i += 2) {
        evenZero += bytes[i] == 0;
        oddZero += bytes[i + 1] == 0;
    }
    if (oddZero * 10 >= n / 2 * 9 && evenZero == 0)
        return 1;
    if (evenZero * 10 >= n / 2 * 9 && oddZero == 0)
        return 2;
    return 0;
}

QString lowerTrimmed(const QString &text)
{
    return text.trimmed().toLower();
}

bool looksLikeHeaderWord(const QString &field)
{
    static const QStringList words = {
        QStringLiteral("side 1"), QStringLiteral("side 2"), QStringLiteral("side1"), QStringLiteral("side2"),
        QStringLiteral("category"), QStringLiteral("front"), QStringLiteral("back"), QStringLiteral("question"),
        QStringLiteral("answer"), QStringLiteral("word"), QStringLiteral("meaning"), QStringLiteral("term"),
        QStringLiteral("definition"), QStringLiteral("translation"), QStringLiteral("deck"), QStringLiteral("tags"),
        QStringLiteral("notes")};
    return words.contains(lowerTrimmed(field));
}

// The text the delimited reader runs over: ASCII-compatible bytes (UTF-8 or
// Windows-1252); UTF-16 is turned into UTF-8 first.
struct Source {
    std::string_view bytes;
    TextEncoding encoding = TextEncoding::Utf8;
    QByteArray holder;
};

Source prepare(std::string_view bytes, Encoding wanted, ParsedImport &result)
{
    Source src;
    Encoding used = wanted == Encoding::Auto ? detectEncoding(bytes) : wanted;
    result.encoding = used;
    if (used == Encoding::Utf16) {
        bool bigEndian = bytes.starts_with(kUtf16BeBom) || (!bytes.starts_with(kUtf16LeBom) && bareUtf16(bytes) == 2);
        QStringDecoder decoder(bigEndian ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE);
        const QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size() & ~size_t(1))));
        src.holder = text.toUtf8();
        if (src.holder.startsWith(kUtf8Bom.data()))
            src.holder.remove(0, 3);
        src.bytes = std::string_view(src.holder.constData(), size_t(src.holder.size()));
        return src;
    }
    if (used == Encoding::Windows1252) {
        src.encoding = TextEncoding::Windows1252;
        src.bytes = bytes;
        return src;
    }
    if (bytes.starts_with(kUtf8Bom))
        bytes.remove_prefix(kUtf8Bom.size());
    if (!encoding::isValidUtf8(bytes)) {
        // Chosen as UTF-8 but not valid: the bad bytes become replacement
        // characters.
        src.holder = QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).toUtf8();
        src.bytes = std::string_view(src.holder.constData(), size_t(src.holder.size()));
    } else {
        src.bytes = bytes;
    }
    return src;
}

struct Field {
    size_t begin = 0, end = 0;
    bool doubledQuotes = false;
};

enum class RecordEnd { Ok, End, Unterminated, AfterQuote };

// One RFC 4180 record from pos: fields split at delimiter, quoted fields
// with doubled quotes and line breaks, records ended by LF or CR LF.
class RecordReader {
public:
    RecordReader(std::string_view s, char delimiter) : s_(s), delimiter_(delimiter) {}

    bool atEnd() const { return pos_ >= s_.size(); }
    void setDelimiter(char delimiter) { delimiter_ = delimiter; }
    size_t pos() const { return pos_; }
    qint64 line() const { return line_; }
    qint64 recordLine() const { return recordLine_; }

    RecordEnd next(std::vector<Field> &fields)
    {
        fields.clear();
        recordLine_ = line_;
        recordStart_ = pos_;
        if (atEnd())
            return RecordEnd::End;
        const size_t n = s_.size();
        for (;;) {
            Field f;
            if (pos_ < n && s_[pos_] == '"') {
                size_t q = pos_ + 1;
                f.begin = q;
                for (;;) {
                    const void *hit = std::memchr(s_.data() + q, '"', n - q);
                    if (!hit)
                        return RecordEnd::Unterminated;
                    const size_t at = size_t(static_cast<const char *>(hit) - s_.data());
                    if (at + 1 < n && s_[at + 1] == '"') {
                        f.doubledQuotes = true;
                        q = at + 2;
                        continue;
                    }
                    f.end = at;
                    break;
                }
                line_ += countLines(f.begin, f.end);
                pos_ = f.end + 1;
                size_t p = pos_;
                while (p < n && (s_[p] == ' ' || s_[p] == '\r') && s_[p] != delimiter_)
                    ++p;
                if (p < n && s_[p] != delimiter_ && s_[p] != '\n')
                    return RecordEnd::AfterQuote;
                pos_ = p;
            } else {
                f.begin = pos_;
                size_t p = pos_;
                while (p < n && s_[p] != delimiter_ && s_[p] != '\n')
                    ++p;
                f.end = p;
                if (p < n && s_[p] == '\n' && f.end > f.begin && s_[f.end - 1] == '\r')
                    --f.end;
                else if (p == n && f.end > f.begin && s_[f.end - 1] == '\r')
                    --f.end;
                pos_ = p;
            }
            fields.push_back(f);
            if (pos_ >= n)
                return RecordEnd::Ok;
            if (s_[pos_] == '\n') {
                ++pos_;
                ++line_;
                return RecordEnd::Ok;
            }
            ++pos_; // the delimiter
        }
    }

    // After a faulty record: go on at the line after the one it began on,
    // so one stray quote costs one line.
    void skipFaultyRecord()
    {
        const void *nl = std::memchr(s_.data() + recordStart_, '\n', s_.size() - recordStart_);
        pos_ = nl ? size_t(static_cast<const char *>(nl) - s_.data()) + 1 : s_.size();
        line_ = recordLine_ + 1;
    }

    // A line that is not a record (a directive): its text, and pos moves on.
    std::string_view takeLine()
    {
        const size_t n = s_.size();
        const void *nl = std::memchr(s_.data() + pos_, '\n', n - pos_);
        const size_t end = nl ? size_t(static_cast<const char *>(nl) - s_.data()) : n;
        std::string_view text = s_.substr(pos_, end - pos_);
        if (text.ends_with('\r'))
            text.remove_suffix(1);
        pos_ = nl ? end + 1 : n;
        ++line_;
        return text;
    }

private:
    qint64 countLines(size_t from, size_t to) const
    {
        qint64 lines = 0;
        for (size_t i = from; i < to; ++i)
            lines += s_[i] == '\n';
        return lines;
    }

    std::string_view s_;
    char delimiter_;
    size_t pos_ = 0;
    size_t recordStart_ = 0;
    qint64 line_ = 1;
    qint64 recordLine_ = 1;
};

char detectDelimiter(std::string_view s)
{
    // Counts outside quotes on the first lines; a delimiter that splits
    // every line alike wins, then the most frequent.
    constexpr std::array<char, 3> candidates = {'\t', ';', ','};
    std::array<std::vector<int>, 3> counts;
    std::array<int, 3> line{};
    bool quoted = false;
    int lines = 0;
    for (size_t i = 0; i < s.size() && lines < 20; ++i) {
        const char c = s[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == '\n') {
            for (size_t k = 0; k < 3; ++k)
                counts[k].push_back(std::exchange(line[k], 0));
            ++lines;
        } else if (!quoted) {
            for (size_t k = 0; k < 3; ++k)
                line[k] += c == candidates[k];
        }
    }
    if (lines < 20)
        for (size_t k = 0; k < 3; ++k)
            if (line[k] > 0 || counts[k].empty())
                counts[k].push_back(line[k]);
    int best = -1;
    long bestScore = 0;
    for (size_t k = 0; k < 3; ++k) {
        long total = 0;
        bool steady = true;
        for (int c : counts[k]) {
            total += c;
            steady = steady && c == counts[k].front() && c > 0;
        }
        const long score = total + (steady ? 1'000'000 : 0);
        if (total > 0 && score > bestScore) {
            best = int(k);
            bestScore = score;
        }
    }
    return best < 0 ? ',' : candidates[size_t(best)];
}

// The text of one field: doubled quotes undone, 0x07 and NUL dropped.
QString fieldText(std::string_view s, const Field &f, TextEncoding encoding, TextPool &pool)
{
    std::string_view bytes = s.substr(f.begin, f.end - f.begin);
    std::string cleaned;
    if (f.doubledQuotes || std::memchr(bytes.data(), 0, bytes.size()) || std::memchr(bytes.data(), 7, bytes.size())) {
        cleaned.reserve(bytes.size());
        for (size_t i = 0; i < bytes.size(); ++i) {
            const char c = bytes[i];
            if (c == 0 || c == 7)
                continue;
            cleaned.push_back(c);
            if (c == '"' && f.doubledQuotes && i + 1 < bytes.size() && bytes[i + 1] == '"')
                ++i;
        }
        bytes = cleaned;
    }
    return pool.make(qsizetype(bytes.size()),
                     [&](char16_t *out) { return encoding::decodeInto(bytes, encoding, out); });
}

char separatorFrom(const QString &value)
{
    const QString v = lowerTrimmed(value);
    if (v == QLatin1String("tab"))
        return '\t';
    if (v == QLatin1String("comma"))
        return ',';
    if (v == QLatin1String("semicolon"))
        return ';';
    if (v == QLatin1String("space"))
        return ' ';
    if (v == QLatin1String("pipe"))
        return '|';
    if (v == QLatin1String("colon"))
        return ':';
    return v.size() == 1 && v[0].unicode() < 0x80 ? char(v[0].unicode()) : '\t';
}

// A "#key:value" line of a text export.
struct Directives {
    bool html = false;
    int deckColumn = kNoColumn;
};

void readDirective(QString line, Directives &d, char &delimiter, ParsedImport &result)
{
    line.remove(0, 1);
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0)
        return;
    const QString key = lowerTrimmed(line.left(colon));
    const QString value = line.mid(colon + 1);
    if (key == QLatin1String("separator")) {
        delimiter = separatorFrom(value);
        result.delimiter = QLatin1Char(delimiter);
    } else if (key == QLatin1String("html")) {
        d.html = lowerTrimmed(value) == QLatin1String("true");
    } else if (key == QLatin1String("columns")) {
        result.headerFields = value.split(QLatin1Char(delimiter));
    } else if (key == QLatin1String("deck column")) {
        bool ok = false;
        const int column = value.trimmed().toInt(&ok);
        if (ok && column > 0)
            d.deckColumn = column - 1;
    }
}

// Only the first fault is told, so only its reason is translated.
void badLine(ParsedImport &result, qint64 line, const char *reason)
{
    if (result.unreadable++ == 0) {
        result.firstBadLine = line;
        result.firstBadReason = QCoreApplication::translate("Mnemodeck", reason);
    }
}

void readDelimited(std::string_view bytes, const ImportOptions &options, ParsedImport &result, const Progress &progress,
                   cardfile::FileBytes *pages)
{
    const bool textExport = result.format == Format::TextExport;
    Source src = prepare(bytes, options.encoding, result);
    std::string_view s = src.bytes;
    if (options.truncated) {
        // Only whole lines of a cut-off start.
        const size_t nl = s.rfind('\n');
        s = nl == std::string_view::npos ? std::string_view() : s.substr(0, nl + 1);
    }

    char delimiter = '\t';
    if (!options.delimiter.isNull() && options.delimiter.unicode() < 0x80)
        delimiter = char(options.delimiter.unicode());
    else if (!textExport)
        delimiter = detectDelimiter(s);
    result.delimiter = QLatin1Char(delimiter);

    Directives directives;
    TextPool pool;
    RecordReader reader(s, delimiter);
    std::vector<Field> fields;
    QHash<QString, int> categoryIndex;      // cleaned name -> category
    QHash<QString, int> categoryBySpelling; // the field as written -> category
    QString scratch;
    int categoryColumn = options.categoryColumn;
    bool first = true;
    int sinceProgress = 0;
    // One card a line at most: room for all of them at once, instead of
    // the copies a growing list makes.
    if (options.maxCards < 0)
        result.cards.reserve(size_t(std::count(s.begin(), s.end(), '\n')) + 1);

    while (!reader.atEnd()) {
        if (++sinceProgress == kProgressEvery) {
            sinceProgress = 0;
            // The pages read are not needed again: the file and the cards
            // need not be resident together.
            if (pages && s.data() >= bytes.data() && s.data() <= bytes.data() + bytes.size())
                pages->releaseUpTo(s.substr(reader.pos(), 0));
            if (progress && !progress(qint64(reader.pos()), qint64(s.size()))) {
                result.cancelled = true;
                result.cards.clear();
                return;
            }
        }
        if (textExport && s[reader.pos()] == '#') {
            const std::string_view line = reader.takeLine();
            char d = delimiter;
            readDirective(encoding::decode(line, src.encoding), directives, d, result);
            if (d != delimiter && options.delimiter.isNull()) {
                delimiter = d;
                reader.setDelimiter(delimiter);
            } else {
                result.delimiter = QLatin1Char(delimiter);
            }
            continue;
        }
        const RecordEnd end = reader.next(fields);
        if (end == RecordEnd::End)
            break;
        if (end == RecordEnd::Unterminated || end == RecordEnd::AfterQuote) {
            if (options.truncated && end == RecordEnd::Unterminated)
                break;
            badLine(result, reader.recordLine(),
                    end == RecordEnd::Unterminated ? QT_TRANSLATE_NOOP("Mnemodeck", "a quote is never closed")
                                                   : QT_TRANSLATE_NOOP("Mnemodeck", "text after a closing quote"));
            reader.skipFaultyRecord();
            continue;
        }
        // A blank line is no card and no fault.
        if (fields.size() == 1 && fields[0].begin == fields[0].end)
            continue;
        result.columns = std::max(result.columns, int(fields.size()));

        if (first) {
            first = false;
            QStringList texts;
            for (const Field &f : fields)
                texts << fieldText(s, f, src.encoding, pool);
            // A #columns directive already named the columns.
            const bool isHeader = options.header == Header::Yes
                                  || (options.header == Header::Auto && result.headerFields.isEmpty()
                                      && std::any_of(texts.begin(), texts.end(), looksLikeHeaderWord));
            if (categoryColumn == kColumnFromHeader) {
                categoryColumn = directives.deckColumn;
                const QStringList &names = isHeader ? texts : result.headerFields;
                for (qsizetype i = 0; i < names.size() && categoryColumn == kNoColumn; ++i)
                    if (lowerTrimmed(names[i]) == QLatin1String("category") || lowerTrimmed(names[i]) == QLatin1String("deck"))
                        categoryColumn = int(i);
            }
            result.categoryColumn = categoryColumn;
            if (isHeader) {
                result.header = true;
                result.headerFields = texts;
                continue;
            }
        }

        if (int(fields.size()) <= options.side1Column || options.side1Column < 0) {
            badLine(result, reader.recordLine(), QT_TRANSLATE_NOOP("Mnemodeck", "too few columns"));
            continue;
        }
        ImportedCard card;
        auto text = [&](int column) {
            if (column < 0 || column >= int(fields.size()))
                return QString();
            QString t = fieldText(s, fields[size_t(column)], src.encoding, pool);
            return directives.html ? htmlToText(t) : t;
        };
        card.side1 = text(options.side1Column);
        card.side2 = text(options.side2Column);
        if (categoryColumn >= 0 && categoryColumn < int(fields.size())) {
            // Most lines repeat a few names: decoded into one scratch text,
            // and cleaned only the first time a spelling is seen.
            const Field &f = fields[size_t(categoryColumn)];
            scratch.resize(qsizetype(f.end - f.begin));
            scratch.truncate(encoding::decodeInto(s.substr(f.begin, f.end - f.begin), src.encoding,
                                                  reinterpret_cast<char16_t *>(scratch.data())));
            auto seen = categoryBySpelling.constFind(scratch);
            if (seen == categoryBySpelling.constEnd()) {
                QString raw = fieldText(s, f, src.encoding, pool);
                const QString name = category::cleanName(directives.html ? htmlToText(raw) : raw);
                int index = -1;
                if (!name.isEmpty()) {
                    auto it = categoryIndex.constFind(name);
                    if (it == categoryIndex.constEnd()) {
                        it = categoryIndex.insert(name, int(result.categories.size()));
                        result.categories.push_back({name, -1});
                    }
                    index = it.value();
                }
                seen = categoryBySpelling.insert(scratch, index);
            }
            card.category = seen.value();
        }
        result.cards.push_back(std::move(card));
        if (options.maxCards >= 0 && int(result.cards.size()) >= options.maxCards)
            break;
    }
    if (result.cards.empty() && result.error.isEmpty())
        result.error = result.unreadable > 0
                           ? QCoreApplication::translate("Mnemodeck", "No card could be read (the first fault at line %1: %2).")
                                 .arg(result.firstBadLine).arg(result.firstBadReason)
                           : QCoreApplication::translate("Mnemodeck", "The file holds no card.");
}

} // namespace

Encoding detectEncoding(std::string_view bytes)
{
    if (bytes.starts_with(kUtf8Bom))
        return Encoding::Utf8;
    if (bytes.starts_with(kUtf16LeBom) || bytes.starts_with(kUtf16BeBom) || bareUtf16(bytes) != 0)
        return Encoding::Utf16;
    // A start cut inside a character is still UTF-8.
    size_t n = bytes.size();
    for (size_t back = 0; back < 3 && n > 0 && (static_cast<unsigned char>(bytes[n - 1]) & 0xC0) == 0x80; ++back)
        --n;
    if (n > 0 && static_cast<unsigned char>(bytes[n - 1]) >= 0xC0)
        --n;
    const bool complete = encoding::isValidUtf8(bytes);
    return complete || encoding::isValidUtf8(bytes.substr(0, n)) ? Encoding::Utf8 : Encoding::Windows1252;
}

Format detectFormat(std::string_view bytes, const QString &fileName)
{
    if (fileName.endsWith(QLatin1String(".kvtml"), Qt::CaseInsensitive))
        return Format::Kvtml;
    if (fileName.endsWith(QLatin1String(".apkg"), Qt::CaseInsensitive)
        || fileName.endsWith(QLatin1String(".colpkg"), Qt::CaseInsensitive) || looksLikePackage(bytes))
        return Format::Apkg;
    std::string_view start = bytes.substr(0, 4096);
    QString text;
    if (detectEncoding(start) == Encoding::Utf16) {
        const bool bigEndian = start.starts_with(kUtf16BeBom) || bareUtf16(start) == 2;
        QStringDecoder decoder(bigEndian ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE);
        text = decoder.decode(QByteArrayView(start.data(), qsizetype(start.size() & ~size_t(1))));
    } else {
        text = QString::fromLatin1(start.data(), qsizetype(start.size()));
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    if (text.startsWith(QLatin1String("\xEF\xBB\xBF")))
        text.remove(0, 3);
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1String("<?xml")) || trimmed.startsWith(QLatin1String("<kvtml")))
        return Format::Kvtml;
    if (trimmed.startsWith(u'#'))
        return Format::TextExport;
    return Format::Delimited;
}

namespace {

ParsedImport parseBytes(std::string_view bytes, const ImportOptions &options, const QString &fileName,
                        const Progress &progress, cardfile::FileBytes *pages)
{
    ParsedImport result;
    result.format = options.format == Format::Auto ? detectFormat(bytes, fileName) : options.format;
    if (bytes.empty()) {
        result.error = QCoreApplication::translate("Mnemodeck", "The file is empty.");
        return result;
    }
    if (result.format == Format::Apkg) {
        readPackage(bytes, options, result, progress);
        return result;
    }
    const Encoding guess = options.encoding == Encoding::Auto ? detectEncoding(bytes) : options.encoding;
    if (guess != Encoding::Utf16 && hasNul(bytes.substr(0, 64 * 1024))) {
        result.error = QCoreApplication::translate("Mnemodeck", "The file is not text (it holds NUL bytes).");
        return result;
    }
    if (result.format == Format::Kvtml)
        readKvtml(bytes, options, result, progress);
    else
        readDelimited(bytes, options, result, progress, pages);
    return result;
}

// Packages are read from the file itself (a zip's directory is at its end).
bool isPackageFile(const QString &path, const ImportOptions &options)
{
    if (options.format != Format::Auto)
        return options.format == Format::Apkg;
    QFile file(path);
    const QByteArray start = file.open(QIODevice::ReadOnly) ? file.read(4) : QByteArray();
    return detectFormat(std::string_view(start.constData(), size_t(start.size())), path) == Format::Apkg;
}

} // namespace

ParsedImport parse(std::string_view bytes, const ImportOptions &options, const QString &fileName,
                   const Progress &progress)
{
    return parseBytes(bytes, options, fileName, progress, nullptr);
}

ParsedImport parseFile(const QString &path, const ImportOptions &options, const Progress &progress)
{
    if (isPackageFile(path, options)) {
        ParsedImport result;
        readPackageFile(path, options, result, progress);
        return result;
    }
    cardfile::FileBytes file;
    QString why;
    if (!file.open(path, &why)) {
        ParsedImport result;
        result.error = QFileInfo(path).size() > cardfile::kMaxFileSize
                           ? QCoreApplication::translate("Mnemodeck", "The file is larger than 2 GB.")
                           : QCoreApplication::translate("Mnemodeck", "The file could not be read: %1").arg(why);
        return result;
    }
    return parseBytes(file.bytes(), options, path, progress, &file);
}

ParsedImport parsePreview(const QString &path, ImportOptions options, int cards)
{
    if (isPackageFile(path, options)) {
        options.maxCards = cards;
        return parseFile(path, options);
    }
    QFile file;
    QString why;
    if (!cardfile::openForReading(file, path, &why)) {
        ParsedImport result;
        result.error = QCoreApplication::translate("Mnemodeck", "The file could not be read: %1").arg(why);
        return result;
    }
    const QByteArray start = file.read(kPreviewBytes);
    options.truncated = !file.atEnd();
    options.maxCards = cards;
    return parse(std::string_view(start.constData(), size_t(start.size())), options, path);
}

} // namespace mdk::exchange
