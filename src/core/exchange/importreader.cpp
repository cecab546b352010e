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
#include <QRegularExpression>
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

// The length of the valid UTF-8 sequence at p (a byte >= 0x80), or 0.
int utf8SequenceAt(const unsigned char *p, const unsigned char *end)
{
    const unsigned char c = *p;
    int len;
    char32_t cp;
    if (c >= 0xC2 && c <= 0xDF)
        len = 2, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF)
        len = 3, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4)
        len = 4, cp = c & 0x07;
    else
        return 0;
    if (end - p < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

bool hasUtf8Sequence(std::string_view bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    for (; p < end; ++p)
        if (*p >= 0x80 && utf8SequenceAt(p, end) > 0)
            return true;
    return false;
}

} // namespace

QByteArray mendUtf8(std::string_view bytes, qint64 &lines)
{
    QByteArray out;
    out.reserve(qsizetype(bytes.size()) + qsizetype(bytes.size() / 8));
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    const unsigned char *plain = p;
    qint64 line = 0, lastBadLine = -1;
    lines = 0;
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            line += c == '\n';
            ++p;
            continue;
        }
        if (const int len = utf8SequenceAt(p, end)) {
            p += len;
            continue;
        }
        out.append(reinterpret_cast<const char *>(plain), p - plain);
        encoding::appendWindows1252AsUtf8(std::string_view(reinterpret_cast<const char *>(p), 1), out);
        if (line != lastBadLine) {
            lastBadLine = line;
            ++lines;
        }
        plain = ++p;
    }
    out.append(reinterpret_cast<const char *>(plain), p - plain);
    return out;
}

QString mendedNote(qint64 lines)
{
    return QCoreApplication::translate("Mnemodeck", "lines with bytes that are not UTF-8, read as Windows-1252: %1")
        .arg(lines);
}

QString importedName(const QString &name)
{
    QString out = category::cleanName(name);
    if (out.size() > kMaxCategoryName)
        out.truncate(out[kMaxCategoryName - 1].isHighSurrogate() ? kMaxCategoryName - 1 : kMaxCategoryName);
    return out;
}

namespace {

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
    if (wanted == Encoding::Auto && used == Encoding::Utf8) {
        if (bytes.starts_with(kUtf8Bom))
            bytes.remove_prefix(kUtf8Bom.size());
        if (encoding::isValidUtf8(bytes)) {
            src.bytes = bytes;
        } else {
            qint64 lines = 0;
            src.holder = mendUtf8(bytes, lines);
            src.bytes = std::string_view(src.holder.constData(), size_t(src.holder.size()));
            result.note = mendedNote(lines);
        }
        return src;
    }
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

// The directives of a text export's header block ("#key:value" lines).
struct Directives {
    bool html = false;
    int deckColumn = kNoColumn;
    QString deck;               // #deck: the category of a file without a deck column
    std::vector<int> noSide;    // the guid, note type and tags columns
};

// Column numbers count from 1 in a directive.
int directiveColumn(const QString &value)
{
    bool ok = false;
    const int column = value.trimmed().toInt(&ok);
    return ok && column > 0 && column < 1'000'000 ? column - 1 : kNoColumn;
}

void readDirective(const QString &key, const QString &value, Directives &d, char &delimiter, ParsedImport &result)
{
    if (key == QLatin1String("separator")) {
        delimiter = separatorFrom(value);
        result.delimiter = QLatin1Char(delimiter);
    } else if (key == QLatin1String("html")) {
        d.html = lowerTrimmed(value) == QLatin1String("true");
    } else if (key == QLatin1String("columns")) {
        result.headerFields = value.split(QLatin1Char(delimiter));
    } else if (key == QLatin1String("deck column")) {
        d.deckColumn = directiveColumn(value);
    } else if (key == QLatin1String("deck")) {
        d.deck = value.trimmed();
    } else if (key == QLatin1String("guid column") || key == QLatin1String("notetype column")
               || key == QLatin1String("tags column")) {
        if (const int column = directiveColumn(value); column != kNoColumn)
            d.noSide.push_back(column);
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

// A spreadsheet's header row, told by its shape rather than its words: our
// own export's header; or a row of distinct capitalised names above a
// column whose other rows are all numbers, or nearly all begin with a
// small letter.
bool looksLikeHeader(const QStringList &first, const std::vector<QStringList> &rest)
{
    if (first.size() >= 2 && first[0] == QLatin1String("side 1") && first[1] == QLatin1String("side 2"))
        return true;
    if (rest.empty())
        return false;
    for (qsizetype c = 0; c < first.size(); ++c) {
        const QString head = first[c].trimmed();
        if (head.isEmpty() || !head[0].isUpper() || first.indexOf(first[c]) != c)
            return false;
    }
    for (qsizetype c = 0; c < first.size(); ++c) {
        const QString head = first[c].trimmed();
        int values = 0, numbers = 0, small = 0;
        for (const QStringList &row : rest) {
            if (c >= row.size() || row[c].trimmed().isEmpty())
                continue;
            const QString v = row[c].trimmed();
            ++values;
            bool ok = false;
            v.toDouble(&ok);
            numbers += ok;
            small += v[0].isLower();
        }
        if (values == 0)
            continue;
        bool headNumber = false;
        head.toDouble(&headNumber);
        if (numbers == values && !headNumber)
            return true;
        if (small * 10 >= values * 9)
            return true;
    }
    return false;
}

// A text export's directive line ("#separator:tab"): the key lower-cased,
// or empty when the line is none of the known ones.
QString directiveKey(QStringView line)
{
    if (!line.startsWith(u'#'))
        return QString();
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0)
        return QString();
    const QString key = line.mid(1, colon - 1).trimmed().toString().toLower();
    for (const char *known : {"separator", "html", "columns", "deck column", "notetype column", "guid column",
                              "tags column", "deck", "notetype", "tags", "if matches"})
        if (key == QLatin1String(known))
            return key;
    return QString();
}

// "<br>" in a field of a plain tab-separated file (as some flashcard
// programs write line breaks there) is a line break.
QString breaksAsLines(QString text)
{
    static const QRegularExpression br(QStringLiteral("<br\\s*/?>"), QRegularExpression::CaseInsensitiveOption);
    if (text.contains(u'<'))
        text.replace(br, QStringLiteral("\r\n"));
    return text;
}

// "#key:value", the key of letters and spaces.
bool isHeaderLine(std::string_view line)
{
    if (!line.starts_with('#'))
        return false;
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon < 2)
        return false;
    return std::all_of(line.begin() + 1, line.begin() + qsizetype(colon),
                       [](char c) { return c == ' ' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
}

// The start of the lines after those the test skips.
size_t afterLinesWhere(std::string_view s, bool (*skip)(std::string_view line))
{
    size_t pos = 0;
    while (pos < s.size()) {
        const size_t nl = s.find('\n', pos);
        const size_t end = nl == std::string_view::npos ? s.size() : nl + 1;
        if (!skip(s.substr(pos, end - pos)))
            break;
        pos = end;
    }
    return pos;
}

void readDelimited(std::string_view bytes, const ImportOptions &options, ParsedImport &result, const Progress &progress,
                   cardfile::FileBytes *pages)
{
    const bool textExport = result.format == Format::TextExport;
    const Encoding guess = options.encoding == Encoding::Auto ? detectEncoding(bytes) : options.encoding;
    if (options.truncated && guess != Encoding::Utf16) {
        // Only whole lines of a cut-off start, so that a character cut at
        // the end is not taken for a stray byte.
        const size_t nl = bytes.rfind('\n');
        bytes = nl == std::string_view::npos ? std::string_view() : bytes.substr(0, nl + 1);
    }
    Source src = prepare(bytes, options.encoding, result);
    std::string_view s = src.bytes;
    if (options.truncated) {
        const size_t nl = s.rfind('\n');
        s = nl == std::string_view::npos ? std::string_view() : s.substr(0, nl + 1);
    }

    // The lines at the top of a text export that look like "#key:value"
    // are its header block (directives); the lines beginning with '#' at
    // the top of a spreadsheet are comments. Any later line is a card.
    const size_t body = textExport ? afterLinesWhere(s, isHeaderLine)
                                   : afterLinesWhere(s, [](std::string_view line) { return line.starts_with('#'); });
    char delimiter = '\t';
    if (!options.delimiter.isNull() && options.delimiter.unicode() < 0x80)
        delimiter = char(options.delimiter.unicode());
    else if (!textExport)
        delimiter = detectDelimiter(s.substr(body));
    result.delimiter = QLatin1Char(delimiter);

    Directives directives;
    TextPool pool;
    RecordReader reader(s, delimiter);
    std::vector<Field> fields;
    QHash<QString, int> categoryIndex;      // cleaned path -> category
    QHash<QString, int> categoryBySpelling; // the field as written -> category
    QString scratch;
    int categoryColumn = options.categoryColumn;
    int side1Column = options.side1Column, side2Column = options.side2Column;
    int deckCategory = -1; // #deck
    bool first = true;
    int sinceProgress = 0;

    // "A::B" is B below A; every name along the path is made once.
    auto categoryOfPath = [&](const QString &path) {
        int parent = -1;
        QString key;
        for (const QString &part : path.split(QStringLiteral("::"))) {
            const QString name = importedName(part);
            if (name.isEmpty())
                continue;
            key += (key.isEmpty() ? QString() : QStringLiteral("::")) + name;
            auto it = categoryIndex.constFind(key);
            if (it == categoryIndex.constEnd()) {
                it = categoryIndex.insert(key, int(result.categories.size()));
                result.categories.push_back({name, parent});
            }
            parent = it.value();
        }
        return parent;
    };
    auto textOf = [&](const Field &f) {
        QString t = fieldText(s, f, src.encoding, pool);
        if (directives.html)
            return htmlToText(t);
        return !textExport && delimiter == '\t' ? breaksAsLines(std::move(t)) : t;
    };

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
        if (reader.pos() < body) {
            const std::string_view line = reader.takeLine();
            if (!textExport)
                continue;
            const QString text = encoding::decode(line, src.encoding);
            const QString key = directiveKey(text);
            if (key.isEmpty())
                continue;
            char d = delimiter;
            readDirective(key, text.mid(text.indexOf(u':') + 1), directives, d, result);
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

        if (first) {
            QStringList texts;
            for (const Field &f : fields)
                texts << fieldText(s, f, src.encoding, pool);
            // The title and author lines vocabulary programs write above
            // their rows are no cards.
            const QString lead = lowerTrimmed(texts.value(0));
            if (!textExport && (lead == QLatin1String("title:") || lead == QLatin1String("author:")))
                continue;
            first = false;
            bool isHeader = options.header == Header::Yes;
            // A #columns directive already named the columns.
            if (options.header == Header::Auto && result.headerFields.isEmpty()) {
                std::vector<QStringList> rest;
                RecordReader ahead = reader;
                std::vector<Field> next;
                while (rest.size() < 20 && ahead.next(next) == RecordEnd::Ok) {
                    QStringList row;
                    for (const Field &f : next)
                        row << fieldText(s, f, src.encoding, pool);
                    if (row.size() > 1 || !row.value(0).isEmpty())
                        rest.push_back(row);
                }
                isHeader = looksLikeHeader(texts, rest);
            }
            if (categoryColumn == kColumnFromHeader) {
                categoryColumn = directives.deckColumn;
                const QStringList &names = isHeader ? texts : result.headerFields;
                for (qsizetype i = 0; i < names.size() && categoryColumn == kNoColumn; ++i)
                    if (lowerTrimmed(names[i]) == QLatin1String("category") || lowerTrimmed(names[i]) == QLatin1String("deck"))
                        categoryColumn = int(i);
            }
            result.categoryColumn = categoryColumn;
            // The columns that hold no side: the sides are the first two
            // others, unless other columns were chosen.
            std::vector<int> noSide = directives.noSide;
            if (directives.deckColumn != kNoColumn)
                noSide.push_back(directives.deckColumn);
            if (textExport && side1Column == 0 && side2Column == 1 && !noSide.empty()) {
                int column = 0;
                auto nextSide = [&] {
                    while (std::find(noSide.begin(), noSide.end(), column) != noSide.end())
                        ++column;
                    return column++;
                };
                side1Column = nextSide();
                side2Column = nextSide();
            }
            result.side1Column = side1Column;
            result.side2Column = side2Column;
            if (!directives.deck.isEmpty())
                deckCategory = categoryOfPath(directives.deck);
            if (isHeader) {
                result.header = true;
                result.headerFields = texts;
                result.columns = std::max(result.columns, int(fields.size()));
                continue;
            }
        }
        result.columns = std::max(result.columns, int(fields.size()));

        if (int(fields.size()) <= side1Column || side1Column < 0) {
            badLine(result, reader.recordLine(), QT_TRANSLATE_NOOP("Mnemodeck", "too few columns"));
            continue;
        }
        if (std::all_of(fields.begin(), fields.end(), [](const Field &f) { return f.begin == f.end; })) {
            badLine(result, reader.recordLine(), QT_TRANSLATE_NOOP("Mnemodeck", "every column is empty"));
            continue;
        }
        ImportedCard card;
        card.side1 = textOf(fields[size_t(side1Column)]);
        card.side2 = side2Column >= 0 && side2Column < int(fields.size()) ? textOf(fields[size_t(side2Column)]) : QString();
        card.category = deckCategory;
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
                seen = categoryBySpelling.insert(scratch, categoryOfPath(directives.html ? htmlToText(raw) : raw));
            }
            card.category = seen.value() >= 0 ? seen.value() : deckCategory;
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
    if (encoding::isValidUtf8(bytes) || encoding::isValidUtf8(bytes.substr(0, n)))
        return Encoding::Utf8;
    // Valid sequences are read as UTF-8 and only the other bytes as
    // Windows-1252: a file with none is Windows-1252 throughout.
    return hasUtf8Sequence(bytes) ? Encoding::Utf8 : Encoding::Windows1252;
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
    // Only a known directive makes a text export: a spreadsheet may have a
    // comment line at its top.
    const QStringView firstLine = QStringView(trimmed).left(trimmed.indexOf(u'\n')).trimmed();
    if (!directiveKey(firstLine).isEmpty())
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
    if (fileName.endsWith(QLatin1String(".mdk"), Qt::CaseInsensitive)
        || cardfile::testFormat(bytes) == cardfile::Format::Current) {
        result.error = QCoreApplication::translate(
            "Mnemodeck", "This is a card file. Use File > Merge or Edit > Paste from to add its cards.");
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
