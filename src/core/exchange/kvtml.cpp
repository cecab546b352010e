#include "kvtml.h"
#include "utf8sink.h"

#include "core/category/categorycommands.h"
#include "core/deck/encoding.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <string>

namespace mdk::exchange {

namespace {

constexpr int kProgressEvery = 1 << 12;

struct Entry {
    QString side1, side2;
    int category = -1;
    bool defined = true; // false while only a lesson has named it
    int sameId = -1;     // the next entry with the same id
};

// The encoding the document declares, lower-cased; empty when none.
QString declaredEncoding(std::string_view bytes)
{
    const QByteArray start(bytes.data(), qsizetype(std::min<size_t>(bytes.size(), 200)));
    static const QRegularExpression re(QStringLiteral(R"(<\?xml[^>]*encoding\s*=\s*["']([^"']+)["'])"));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(start));
    return m.hasMatch() ? m.captured(1).toLower() : QString();
}

// Sets the reader's input: the bytes for the parser to decode by their own
// declaration, or text decoded here when the choice or a fallback says so.
void setInput(QXmlStreamReader &xml, std::string_view bytes, const ImportOptions &options, ParsedImport &result,
              QString &decoded)
{
    const QByteArray raw = QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size()));
    Encoding used = options.encoding;
    if (used == Encoding::Auto) {
        const Encoding seen = detectEncoding(bytes);
        const QString declared = declaredEncoding(bytes);
        if (seen == Encoding::Utf16 || bytes.starts_with("\xEF\xBB\xBF")
            || (!declared.isEmpty() && declared != QLatin1String("utf-8") && declared != QLatin1String("utf8"))) {
            // The parser follows the byte-order mark or the declaration.
            result.encoding = seen;
            xml.addData(QByteArray(raw));
            return;
        }
        used = seen;
        if (seen == Encoding::Utf8 && !encoding::isValidUtf8(bytes)) {
            // The one rule for text that is not all valid UTF-8.
            qint64 lines = 0;
            const QByteArray mended = mendUtf8(bytes, lines);
            decoded = QString::fromUtf8(mended);
            result.note = mendedNote(lines);
            result.encoding = used;
            xml.addData(decoded);
            return;
        }
        if (seen == Encoding::Windows1252)
            result.note = QCoreApplication::translate("Mnemodeck", "read as Windows-1252, since the file is not valid UTF-8 as it declares");
    }
    result.encoding = used;
    switch (used) {
    case Encoding::Windows1252:
        decoded = encoding::decodeWindows1252(bytes);
        break;
    case Encoding::Utf16: {
        const bool bigEndian = bytes.starts_with("\xFE\xFF");
        QStringDecoder decoder(bigEndian ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE);
        decoded = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size() & ~size_t(1))));
        break;
    }
    default:
        decoded = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
        break;
    }
    if (decoded.startsWith(QChar(0xFEFF)))
        decoded.remove(0, 1);
    xml.addData(decoded);
}

} // namespace

void readKvtml(std::string_view bytes, const ImportOptions &options, ParsedImport &result, const Progress &progress)
{
    if (options.truncated) {
        const size_t end = bytes.rfind('>');
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(0, end + 1);
    }
    QXmlStreamReader xml;
    QString decoded;
    setInput(xml, bytes, options, result, decoded);

    std::vector<Entry> entries;
    QHash<QString, int> entryById;
    std::vector<int> open;   // the lessons being read, innermost last
    int lessonsDepth = 0;    // > 0 inside <lessons>
    int entriesDepth = 0;    // > 0 inside <entries>
    int entry = -1;          // the entry being read
    QString translation;     // its translation being read
    int depth = 0;           // elements open
    int translationDepth = 0; // the depth of that translation's element
    QStringList repeatedIds;
    QSet<QString> repeated;
    QHash<QString, int> lastOfId; // a repeated id's latest entry
    QSet<QString> placedIds;      // ids whose entries a lesson has taken
    int sinceProgress = 0;
    bool sawRoot = false;
    bool version1 = false;
    QStringList lessonOf;             // version 1: each entry's lesson number
    QHash<QString, int> lessonByNumber; // version 1: lesson number -> category

    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const QStringView name = xml.name();
            if (!sawRoot) {
                sawRoot = true;
                if (name != QLatin1String("kvtml")) {
                    result.error = QCoreApplication::translate("Mnemodeck", "This is not a KDE vocabulary document.");
                    break;
                }
                // The first version has no version attribute, or 1.x.
                const QStringView version = xml.attributes().value(QLatin1String("version"));
                version1 = version.isEmpty() || version.startsWith(u'1');
                continue;
            }
            if (version1) {
                // <e m="lesson"><o>side 1</o><t>side 2</t></e>, and the lessons
                // as <lesson><desc no="N">name</desc></lesson>.
                if (name == QLatin1String("e")) {
                    entry = int(entries.size());
                    entries.push_back({});
                    lessonOf.push_back(xml.attributes().value(QLatin1String("m")).toString());
                } else if (entry >= 0 && (name == QLatin1String("o") || name == QLatin1String("t"))) {
                    const bool side1 = name == QLatin1String("o");
                    QString &side = side1 ? entries[size_t(entry)].side1 : entries[size_t(entry)].side2;
                    const QString text = Deck::cleanText(xml.readElementText(QXmlStreamReader::IncludeChildElements));
                    --depth;
                    if (side.isEmpty())
                        side = text;
                } else if (name == QLatin1String("desc")) {
                    const QString no = xml.attributes().value(QLatin1String("no")).toString();
                    lessonByNumber.insert(no, int(result.categories.size()));
                    result.categories.push_back(
                        {importedName(xml.readElementText(QXmlStreamReader::IncludeChildElements)), -1, true});
                    --depth;
                }
                continue;
            }
            if (name == QLatin1String("lessons")) {
                ++lessonsDepth;
            } else if (name == QLatin1String("entries") && lessonsDepth == 0) {
                ++entriesDepth;
            } else if (lessonsDepth > 0 && name == QLatin1String("container")) {
                result.categories.push_back({QString(), open.empty() ? -1 : open.back(), true});
                open.push_back(int(result.categories.size()) - 1);
            } else if (lessonsDepth > 0 && name == QLatin1String("name") && !open.empty()) {
                ImportedCategory &c = result.categories[size_t(open.back())];
                if (c.name.isEmpty())
                    c.name = importedName(xml.readElementText(QXmlStreamReader::IncludeChildElements));
                else
                    xml.skipCurrentElement();
                --depth;
            } else if (lessonsDepth > 0 && name == QLatin1String("entry") && !open.empty()) {
                const QString id = xml.attributes().value(QLatin1String("id")).toString();
                const auto it = entryById.constFind(id);
                // Lessons may come before entries: note the wish by id.
                if (it == entryById.constEnd()) {
                    entryById.insert(id, int(entries.size()));
                    entries.push_back({QString(), QString(), open.back(), false});
                } else if (!placedIds.contains(id)) {
                    // Every entry of the id goes to the first lesson that
                    // names it (once: a walk per mention could be long).
                    placedIds.insert(id);
                    for (int e = it.value(); e >= 0; e = entries[size_t(e)].sameId)
                        if (entries[size_t(e)].category < 0)
                            entries[size_t(e)].category = open.back();
                }
            } else if (entriesDepth > 0 && name == QLatin1String("entry")) {
                const QString id = xml.attributes().value(QLatin1String("id")).toString();
                const auto it = entryById.constFind(id);
                if (it == entryById.constEnd() || id.isEmpty()) {
                    entry = int(entries.size());
                    entries.push_back({});
                    if (!id.isEmpty())
                        entryById.insert(id, entry);
                } else if (!entries[size_t(it.value())].defined) {
                    entry = it.value();
                    entries[size_t(entry)].defined = true;
                } else {
                    // A repeated id is another entry all the same: a card of
                    // its own, in the lessons of the id.
                    const int last = lastOfId.value(id, it.value());
                    entry = int(entries.size());
                    lastOfId.insert(id, entry);
                    entries.push_back({QString(), QString(), entries[size_t(last)].category});
                    entries[size_t(last)].sameId = entry;
                    if (!repeated.contains(id)) {
                        repeated.insert(id);
                        repeatedIds << id;
                    }
                }
                if (++sinceProgress == kProgressEvery) {
                    sinceProgress = 0;
                    if (progress && !progress(xml.characterOffset(), qint64(decoded.isNull() ? bytes.size() : size_t(decoded.size())))) {
                        result.cancelled = true;
                        return;
                    }
                }
            } else if (entry >= 0 && name == QLatin1String("translation") && translation.isNull()) {
                translation = xml.attributes().value(QLatin1String("id")).toString();
                translationDepth = depth;
            } else if (entry >= 0 && !translation.isNull() && depth == translationDepth + 1) {
                // Only the translation's own text is the word; its
                // conjugations, comparisons, examples and the like are not.
                if (name == QLatin1String("text")) {
                    const QString text = Deck::cleanText(xml.readElementText(QXmlStreamReader::IncludeChildElements));
                    --depth;
                    if (translation == QLatin1String("0"))
                        entries[size_t(entry)].side1 = text;
                    else if (translation == QLatin1String("1"))
                        entries[size_t(entry)].side2 = text;
                } else if (name != QLatin1String("grade")) {
                    ++result.leftOut;
                }
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
            const QStringView name = xml.name();
            if (name == QLatin1String("lessons"))
                --lessonsDepth;
            else if (name == QLatin1String("entries") && entriesDepth > 0)
                --entriesDepth;
            else if (lessonsDepth > 0 && name == QLatin1String("container") && !open.empty())
                open.pop_back();
            else if (entriesDepth > 0 && name == QLatin1String("entry"))
                entry = -1;
            else if (name == QLatin1String("translation") && depth + 1 == translationDepth)
                translation = QString();
            else if (version1 && name == QLatin1String("e"))
                entry = -1;
        }
    }
    if (xml.hasError() && !(options.truncated && xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)) {
        result.error = QCoreApplication::translate("Mnemodeck", "The XML is broken at line %1, column %2: %3")
                           .arg(xml.lineNumber()).arg(xml.columnNumber()).arg(xml.errorString());
    }
    if (!result.error.isEmpty()) {
        result.cards.clear();
        result.categories.clear();
        return;
    }
    // Version 1 names lessons after the entries that use them.
    for (qsizetype i = 0; i < lessonOf.size() && size_t(i) < entries.size(); ++i)
        entries[size_t(i)].category = lessonByNumber.value(lessonOf[i], -1);
    for (ImportedCategory &c : result.categories)
        if (c.name.isEmpty())
            c.name = QStringLiteral("Lesson");
    result.repeatedIds = repeatedIds;
    result.cards.reserve(entries.size());
    for (Entry &e : entries) {
        if (!e.defined)
            continue;
        if (options.maxCards >= 0 && int(result.cards.size()) >= options.maxCards)
            break;
        result.cards.push_back({std::move(e.side1), std::move(e.side2), e.category});
    }
    if (result.cards.empty())
        result.error = QCoreApplication::translate("Mnemodeck", "The document holds no entry.");
}

void appendXmlText(const QString &text, Utf8Sink &out)
{
    out.text(text, [](const char16_t *p, const char16_t *, std::string_view &replacement) {
        switch (*p) {
        case u'&': replacement = "&amp;"; return 1;
        case u'<': replacement = "&lt;"; return 1;
        case u'>': replacement = "&gt;"; return 1;
        case u'"': replacement = "&quot;"; return 1;
        case u'\r': replacement = "&#13;"; return 1;
        case u'\t':
        case u'\n': return 0;
        default:
            // No XML form: dropped.
            return *p < 0x20 || *p == 0xFFFE || *p == 0xFFFF ? 1 : 0;
        }
    });
}

void writeKvtml(const ExportSet &set, QByteArray &bytes)
{
    Utf8Sink out(bytes);
    out.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\">\n"
               "<kvtml version=\"2.0\">\n"
               " <information>\n"
               "  <generator>Mnemodeck " MDK_VERSION "</generator>\n"
               "  <title>");
    appendXmlText(set.categories.empty() ? QStringLiteral("Cards") : set.categories.front().name, out);
    out.raw("</title>\n"
               " </information>\n"
               " <identifiers>\n"
               "  <identifier id=\"0\">\n   <name>Side 1</name>\n   <locale>en</locale>\n  </identifier>\n"
               "  <identifier id=\"1\">\n   <name>Side 2</name>\n   <locale>en</locale>\n  </identifier>\n"
               " </identifiers>\n"
               " <entries>\n");
    std::vector<std::vector<int>> members(set.categories.size());
    for (size_t i = 0; i < set.cards.size(); ++i) {
        const ExportCard &card = set.cards[i];
        // One line an entry: a million of them are a file of their own size.
        out.raw("  <entry id=\"");
        out.raw(std::to_string(i));
        out.raw("\"><translation id=\"0\"><text>");
        appendXmlText(*card.side1, out);
        out.raw("</text></translation><translation id=\"1\"><text>");
        appendXmlText(*card.side2, out);
        out.raw("</text></translation></entry>\n");
        // The top's own cards belong to no lesson.
        if (card.node > 0)
            members[size_t(card.node)].push_back(int(i));
    }
    out.raw(" </entries>\n <lessons>\n");
    // The categories below the top in pre-order; depth from the parents, so
    // the nesting is written without recursion.
    std::vector<int> depth(set.categories.size(), 0);
    int openDepth = 0;
    // Indentation stops growing at some depth: a deep tree is written in
    // a size linear in its nodes.
    auto indent = [&](int d) { out.raw(std::string(size_t(2 + 2 * std::min(d, 16)), ' ')); };
    for (size_t c = 1; c < set.categories.size(); ++c) {
        const int parent = set.categories[c].parent;
        depth[c] = parent > 0 ? depth[size_t(parent)] + 1 : 0;
        while (openDepth > depth[c]) {
            --openDepth;
            indent(openDepth);
            out.raw("</container>\n");
        }
        indent(depth[c]);
        out.raw("<container>\n");
        indent(depth[c] + 1);
        out.raw("<name>");
        appendXmlText(set.categories[c].name, out);
        out.raw("</name>\n");
        indent(depth[c] + 1);
        out.raw("<inpractice>true</inpractice>\n");
        for (int i : members[c]) {
            indent(depth[c] + 1);
            out.raw("<entry id=\"");
            out.raw(std::to_string(i));
            out.raw("\"/>\n");
        }
        openDepth = depth[c] + 1;
    }
    while (openDepth > 0) {
        --openDepth;
        indent(openDepth);
        out.raw("</container>\n");
    }
    out.raw(" </lessons>\n</kvtml>\n");
}

} // namespace mdk::exchange
