// Adding parsed cards to the deck, the summary, and export.

#include "exchange.h"
#include "apkg.h"
#include "kvtml.h"
#include "utf8sink.h"

#include "core/deck/encoding.h"
#include "core/review/progressstore.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <cstring>
#include <map>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <type_traits>
#include <unordered_map>

namespace mdk::exchange {

namespace {

// Where the imported categories go, worked out before the deck changes: a
// name the tree holds joins that node wherever it is (said in joined when
// that is not below the category's parent), any other is created below its
// parent (or the target). place() then makes the new ones.
struct CategoryPlan {
    std::vector<QString> names; // each imported category's node name
    QStringList joined;

    CategoryPlan(const ParsedImport &parsed, const Deck &deck, CategoryTree::NodeId target)
        : parsed_(parsed), target_(target), created_(parsed.categories.size(), false)
    {
        const CategoryTree &tree = deck.tree();
        names.resize(parsed.categories.size());
        QHash<QString, int> made; // name -> the imported category that makes it
        QSet<QString> told;
        for (size_t i = 0; i < parsed.categories.size(); ++i) {
            const ImportedCategory &c = parsed.categories[i];
            // A lesson's parent always comes before it; anything else is the target.
            const int parent = c.parent >= 0 && size_t(c.parent) < i ? c.parent : -1;
            const QString &parentName = parent >= 0 ? names[size_t(parent)] : tree.name(target);
            if (c.name.isEmpty()) {
                names[i] = parentName;
                continue;
            }
            names[i] = c.name;
            QString foundParent;
            if (const CategoryTree::NodeId found = tree.findByName(c.name); found != CategoryTree::None) {
                if (found == tree.root() || tree.parent(found) == CategoryTree::None)
                    foundParent = QString();
                else
                    foundParent = tree.name(tree.parent(found));
            } else if (const auto m = made.constFind(c.name); m != made.constEnd()) {
                const int p = parsed.categories[size_t(m.value())].parent;
                foundParent = p >= 0 && p < m.value() ? names[size_t(p)] : tree.name(target);
            } else {
                made.insert(c.name, int(i));
                created_[i] = true;
                continue;
            }
            const bool itself = c.name == parentName && !c.lesson;
            if (!itself && foundParent != parentName && !told.contains(c.name)) {
                told.insert(c.name);
                joined << c.name;
            }
        }
    }

    void place(Deck &deck) const
    {
        for (size_t i = 0; i < names.size(); ++i) {
            if (!created_[i])
                continue;
            const int p = parsed_.categories[i].parent;
            const CategoryTree::NodeId parent =
                p >= 0 && size_t(p) < i ? deck.tree().findByName(names[size_t(p)]) : target_;
            deck.addCategory(parent == CategoryTree::None ? target_ : parent, names[i]);
        }
    }

private:
    const ParsedImport &parsed_;
    CategoryTree::NodeId target_;
    std::vector<bool> created_;
};

using Key = std::pair<int, QString>; // category number, side 1

struct KeyHash {
    size_t operator()(const Key &k) const noexcept { return qHash(k.second) ^ size_t(k.first) * 0x9E3779B97F4A7C15ull; }
};

} // namespace

namespace {

// The cards let go lie in small blocks among the deck's: the allocator
// keeps such pages unless asked to return them.
void giveBackFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// Parsed is const, or not when the cards are let go as they are added.
template <class Parsed>
ImportSummary apply(Parsed &parsed, Deck &deck, const QString &target, Duplicates duplicates, const Progress &progress)
{
    constexpr bool release = !std::is_const_v<Parsed>;
    ImportSummary summary;
    if (deck.showSubCategories() || parsed.cards.empty())
        return summary;
    CategoryTree::NodeId targetNode = deck.tree().findByName(target);
    if (targetNode == CategoryTree::None)
        targetNode = deck.tree().root();
    const CategoryPlan plan(parsed, deck, targetNode);
    summary.joined = plan.joined;
    const std::vector<QString> &categoryNames = plan.names;
    const QString targetName = deck.tree().name(targetNode);
    // Until the cards are sorted out the deck holds what it held (the view
    // folded back is the same cards): a cancel there leaves it as it was.
    // Adding them is quick after that.
    const qint64 total = qint64(parsed.cards.size());
    auto cancelled = [&](size_t done) {
        if (progress && (done & 0x3FFF) == 0 && !progress(qint64(done), total)) {
            summary = ImportSummary();
            summary.cancelled = true;
            return true;
        }
        return false;
    };
    deck.WriteBackView();
    const QString openName = deck.oldTreeName();

    // Each card's category as a small number: the target is 0, the imported
    // categories follow (several may share a node).
    QHash<QString, int> numberOf;
    std::vector<QString> categoryOf{targetName};
    numberOf.insert(targetName, 0);
    std::vector<int> cardCategory(parsed.categories.size());
    for (size_t i = 0; i < categoryNames.size(); ++i) {
        auto it = numberOf.constFind(categoryNames[i]);
        if (it == numberOf.constEnd()) {
            it = numberOf.insert(categoryNames[i], int(categoryOf.size()));
            categoryOf.push_back(categoryNames[i]);
        }
        cardCategory[i] = it.value();
    }
    auto categoryNumber = [&](const ImportedCard &card) {
        return card.category >= 0 && size_t(card.category) < cardCategory.size() ? cardCategory[size_t(card.category)] : 0;
    };

    // The cards to add, as indexes into parsed.cards in order (a later
    // card of this import may give one of them a new side 2); side 1s
    // already in the deck with their rank in their category's file order
    // (view order when it is loaded).
    std::vector<int> toAdd;
    toAdd.reserve(parsed.cards.size());
    QHash<int, QString> newSide2; // index into toAdd -> side 2
    // -> rank in the category and file index; -> index into toAdd
    std::unordered_map<Key, std::pair<int, int>, KeyHash> existing;
    std::unordered_map<Key, int, KeyHash> added;
    // Per category: rank -> new side 2.
    std::vector<std::map<int, QString>> updates(categoryOf.size());
    if (duplicates != Duplicates::Add) {
        std::vector<int> rank(categoryOf.size(), 0);
        for (int j = 0; j < deck.fileCount(); ++j) {
            const auto it = numberOf.constFind(deck.fileCategory(j));
            if (it == numberOf.constEnd())
                continue;
            existing.try_emplace(Key{it.value(), deck.fileSide1(j)}, std::pair{rank[size_t(it.value())], j});
            ++rank[size_t(it.value())];
        }
    }
    for (size_t i = 0; i < parsed.cards.size(); ++i) {
        if (cancelled(i))
            return summary;
        const ImportedCard &card = parsed.cards[i];
        if (duplicates != Duplicates::Add) {
            const Key key{categoryNumber(card), card.side1};
            if (const auto old = existing.find(key); old != existing.end()) {
                if (duplicates == Duplicates::Skip) {
                    ++summary.skipped;
                } else {
                    // Compared with the side 2 as this import has left it so far.
                    auto &pending = updates[size_t(key.first)];
                    const auto [rank, j] = old->second;
                    const auto at = pending.find(rank);
                    if (!sameText(at != pending.end() ? at->second : deck.fileSide2(j), card.side2)) {
                        pending[rank] = card.side2;
                        ++summary.updated;
                    } else {
                        ++summary.skipped;
                    }
                }
                continue;
            }
            if (const auto earlier = added.find(key); earlier != added.end()) {
                const int k = earlier->second;
                const QString &side2 = newSide2.contains(k) ? newSide2[k] : parsed.cards[size_t(toAdd[size_t(k)])].side2;
                if (duplicates == Duplicates::Update && !sameText(side2, card.side2)) {
                    newSide2.insert(k, card.side2);
                    ++summary.updated;
                } else {
                    ++summary.skipped;
                }
                continue;
            }
            added.emplace(key, int(toAdd.size()));
        }
        toAdd.push_back(int(i));
    }
    existing.clear();
    added.clear();
    if (progress && !progress(total, total)) {
        summary = ImportSummary();
        summary.cancelled = true;
        return summary;
    }
    plan.place(deck);

    // Replacements: the category's cards through the view, whose order is
    // their file order, then back.
    for (size_t c = 0; c < updates.size(); ++c) {
        if (updates[c].empty())
            continue;
        deck.LoadView(categoryOf[c]);
        for (const auto &[k, side2] : updates[c])
            if (!sameText(deck.viewSide2(k), side2))
                deck.replaceViewCard(k, deck.viewSide1(k), side2);
        deck.WriteBackView();
    }

    deck.reserveFileCards(int(toAdd.size()));
    size_t released = 0; // the cards before this one are gone from parsed
    for (size_t k = 0; k < toAdd.size(); ++k) {
        const size_t i = size_t(toAdd[k]) - released;
        const ImportedCard &card = parsed.cards[i];
        const auto replaced = newSide2.constFind(int(k));
        if (!deck.appendFileCard(card.side1, replaced == newSide2.constEnd() ? card.side2 : replaced.value(),
                                 categoryOf[size_t(categoryNumber(card))])) {
            summary.storeFull = true;
            break;
        }
        ++summary.added;
        if constexpr (release) {
            parsed.cards.erase(parsed.cards.begin(), parsed.cards.begin() + qsizetype(i + 1));
            const size_t before = released;
            released += i + 1;
            if ((before ^ released) >> 16)
                giveBackFreedMemory();
        }
    }
    if constexpr (release) {
        parsed.cards.clear();
        giveBackFreedMemory();
    }
    deck.LoadView(openName);
    return summary;
}

} // namespace

ImportSummary applyImport(const ParsedImport &parsed, Deck &deck, const QString &target, Duplicates duplicates,
                          const Progress &progress)
{
    return apply(parsed, deck, target, duplicates, progress);
}

ImportSummary applyImportReleasing(ParsedImport &parsed, Deck &deck, const QString &target, Duplicates duplicates,
                                   const Progress &progress)
{
    return apply(parsed, deck, target, duplicates, progress);
}

QString summaryText(const ImportSummary &summary, const ParsedImport &parsed)
{
    QString text = QCoreApplication::translate("Mnemodeck", "%1 cards added, %2 skipped, %3 updated")
                       .arg(summary.added).arg(summary.skipped).arg(summary.updated);
    if (parsed.unreadable > 0)
        text += QStringLiteral("; ")
                + QCoreApplication::translate("Mnemodeck", "%1 lines could not be read (the first at line %2: %3)")
                    .arg(parsed.unreadable).arg(parsed.firstBadLine).arg(parsed.firstBadReason);
    if (summary.storeFull)
        text += QStringLiteral("; ") + QCoreApplication::translate("Mnemodeck", "the deck is full, so the rest was left out");
    // A few names say what is meant; a long list would bury the rest.
    auto some = [](const QStringList &names) {
        constexpr qsizetype kShown = 5;
        QStringList quoted;
        for (qsizetype i = 0; i < std::min(names.size(), kShown); ++i)
            quoted << u'"' + names[i] + u'"';
        QString list = quoted.join(QStringLiteral(", "));
        if (names.size() > kShown)
            list += QCoreApplication::translate("Mnemodeck", " and %1 more").arg(names.size() - kShown);
        return list;
    };
    if (!parsed.repeatedIds.isEmpty())
        text += QStringLiteral("; ")
                + QCoreApplication::translate("Mnemodeck", "entry ids used more than once, each entry made a card: %1")
                      .arg(some(parsed.repeatedIds));
    if (!summary.joined.isEmpty())
        text += QStringLiteral("; ")
                + QCoreApplication::translate("Mnemodeck",
                                              "categories that joined the one of the same name elsewhere in the tree: %1")
                      .arg(some(summary.joined));
    if (parsed.leftOut > 0)
        text += QStringLiteral("; ")
                + QCoreApplication::translate("Mnemodeck",
                                              "conjugations, examples, comments and other parts of entries left out: %1")
                      .arg(parsed.leftOut);
    if (!parsed.note.isEmpty())
        text += QStringLiteral("; ") + parsed.note;
    return text;
}

// --- Export

ExportSet cardsToExport(const Deck &deck, Scope scope)
{
    ExportSet set;
    const CategoryTree &tree = deck.tree();
    const QString &open = deck.oldTreeName();
    const bool subMode = deck.showSubCategories();
    CategoryTree::NodeId top = tree.root();
    if (scope != Scope::All) {
        top = tree.findByName(open);
        if (top == CategoryTree::None)
            top = tree.root();
    }

    // The categories: the top alone, or the top and its sub-tree.
    QHash<QString, int> index;
    if (scope == Scope::Category) {
        set.categories.push_back({tree.name(top), -1});
    } else {
        QHash<CategoryTree::NodeId, int> byNode;
        for (CategoryTree::NodeId id : tree.preorder(top)) {
            byNode.insert(id, int(set.categories.size()));
            set.categories.push_back({tree.name(id), id == top ? -1 : byNode.value(tree.parent(id), 0)});
        }
    }
    for (size_t i = set.categories.size(); i-- > 0;)
        index.insert(set.categories[i].name, int(i));

    auto add = [&](const QString &side1, const QString &side2, const QString &category, int node) {
        set.cards.push_back({&side1, &side2, &category, node});
    };
    // The open category's own cards, as the view holds them outside
    // subcategory mode (there the file holds them as they are).
    auto addOpenCards = [&] {
        const int node = index.value(open, -1);
        if (!subMode) {
            for (int k = 0; k < deck.viewCount(); ++k)
                add(deck.viewSide1(k), deck.viewSide2(k), open, node);
        } else {
            deck.ForEachCardOfCategory(open, [&](int j) { add(deck.fileSide1(j), deck.fileSide2(j), open, node); });
        }
    };

    if (scope == Scope::All) {
        set.cards.reserve(size_t(deck.fileCount()) + size_t(deck.viewCount()));
        // A category's name is one text in the deck, so its address names
        // it: one lookup per category, not one per card.
        struct Seen {
            int node;
            bool open;
        };
        QHash<const QString *, Seen> seen;
        for (int j = 0; j < deck.fileCount(); ++j) {
            const QString &category = deck.fileCategory(j);
            auto it = seen.constFind(&category);
            if (it == seen.constEnd())
                it = seen.insert(&category, {index.value(category, -1), !subMode && sameText(category, open)});
            if (!it->open)
                add(deck.fileSide1(j), deck.fileSide2(j), category, it->node);
        }
        if (!subMode)
            for (int k = 0; k < deck.viewCount(); ++k)
                add(deck.viewSide1(k), deck.viewSide2(k), open, index.value(open, -1));
        return set;
    }
    addOpenCards();
    if (scope == Scope::CategoryAndSubcategories) {
        const std::vector<CategoryTree::NodeId> below = tree.descendants(top);
        const auto buckets = deck.cardsOfCategories(below);
        for (size_t r = 0; r < below.size(); ++r) {
            const QString &name = tree.name(below[r]);
            for (int j : buckets[r])
                add(deck.fileSide1(j), deck.fileSide2(j), name, index.value(name, -1));
        }
    }
    return set;
}

namespace {

int noEscape(const char16_t *, const char16_t *, std::string_view &)
{
    return 0;
}

void appendCsvField(const QString &text, Utf8Sink &out)
{
    bool quote = false;
    for (QChar c : text)
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') {
            quote = true;
            break;
        }
    if (!quote) {
        out.text(text, noEscape);
        return;
    }
    out.raw('"');
    out.text(text, [](const char16_t *p, const char16_t *, std::string_view &replacement) {
        if (*p != u'"')
            return 0;
        replacement = "\"\"";
        return 1;
    });
    out.raw('"');
}

// A side as HTML for the text export: CR LF as <br>, and what would end or
// split the line, start a directive or a quote, or read as markup, as
// character references.
void appendHtmlField(const QString &text, Utf8Sink &out)
{
    const char16_t *start = reinterpret_cast<const char16_t *>(text.constData());
    out.text(text, [start](const char16_t *p, const char16_t *end, std::string_view &replacement) {
        switch (*p) {
        case u'&': replacement = "&amp;"; return 1;
        case u'<': replacement = "&lt;"; return 1;
        case u'>': replacement = "&gt;"; return 1;
        case u'"': replacement = "&quot;"; return 1;
        case u'\t': replacement = "&#9;"; return 1;
        case u'\n': replacement = "&#10;"; return 1;
        case u'#':
            if (p != start)
                return 0;
            replacement = "&#35;";
            return 1;
        case u'\r':
            if (p + 1 < end && p[1] == u'\n') {
                replacement = "<br>";
                return 2;
            }
            replacement = "&#13;";
            return 1;
        default: return 0;
        }
    });
}

} // namespace

QByteArray exportBytes(const ExportSet &set, ExportFormat format)
{
    QByteArray bytes;
    if (format == ExportFormat::Kvtml) {
        writeKvtml(set, bytes);
        return bytes;
    }
    if (format == ExportFormat::Apkg) {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("cards.apkg")));
        if (dir.isValid() && writePackage(set, {}, file.fileName()).ok && file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        return bytes;
    }
    {
        Utf8Sink out(bytes);
        const bool csv = format == ExportFormat::Csv;
        const auto field = csv ? appendCsvField : appendHtmlField;
        const char separator = csv ? ',' : '\t';
        out.raw(csv ? std::string_view("side 1,side 2,category\r\n")
                    : std::string_view("#separator:tab\n#html:true\n#columns:side 1\tside 2\tcategory\n"));
        for (const ExportCard &card : set.cards) {
            field(*card.side1, out);
            out.raw(separator);
            field(*card.side2, out);
            out.raw(separator);
            field(*card.category, out);
            out.raw(csv ? std::string_view("\r\n") : std::string_view("\n"));
        }
    } // the sink cuts bytes to what it wrote
    return bytes;
}

WriteResult exportFile(const ExportSet &set, ExportFormat format, const QString &path)
{
    if (format == ExportFormat::Apkg)
        return writePackage(set, storedReviews(review::ProgressStore::defaultPath()), path);
    return writeFileSafely(path, exportBytes(set, format));
}

namespace {

struct NamedEntity {
    const char *name;
    char32_t first, second;
};

constexpr NamedEntity kEntities[] = {
#include "htmlentities.inc"
};
// The longest name in the table ("CounterClockwiseContourIntegral").
constexpr qsizetype kLongestEntity = 32;

// The characters of "&name;" or "&#N;" / "&#xN;" at html[i] (the '&'), and
// where it ends; false when it is no reference, so the '&' is text.
bool readReference(QStringView html, qsizetype i, QString &out, qsizetype &last)
{
    const qsizetype semi = html.mid(i + 1, kLongestEntity + 1).indexOf(u';');
    if (semi <= 0)
        return false;
    const QStringView name = html.mid(i + 1, semi);
    char32_t codes[2] = {0, 0};
    if (name.startsWith(u'#')) {
        const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
        const QStringView digits = name.mid(hex ? 2 : 1);
        if (digits.isEmpty())
            return false;
        quint64 v = 0;
        for (QChar c : digits) {
            const int d = c.isDigit() && c.unicode() < 0x80 ? c.unicode() - u'0'
                          : hex && c.toLower() >= u'a' && c.toLower() <= u'f' ? c.toLower().unicode() - u'a' + 10
                                                                                 : -1;
            if (d < 0)
                return false;
            v = std::min<quint64>(v * (hex ? 16 : 10) + quint64(d), 0x110000);
        }
        // What cannot be a character reads as the replacement character.
        codes[0] = v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF) ? char32_t(0xFFFD) : char32_t(v);
    } else {
        QByteArray key;
        for (QChar c : name) {
            if (c.unicode() >= 0x80 || !c.isLetterOrNumber())
                return false;
            key += char(c.unicode());
        }
        const auto *end = std::end(kEntities);
        const auto *it = std::lower_bound(std::begin(kEntities), end, key, [](const NamedEntity &e, const QByteArray &k) {
            return std::strcmp(e.name, k.constData()) < 0;
        });
        if (it == end || key != it->name)
            return false;
        codes[0] = it->first;
        codes[1] = it->second;
    }
    for (char32_t code : codes)
        if (code != 0 && code != 7) // 0x07 ends a field in the card file
            out += QString::fromUcs4(&code, 1);
    last = i + 1 + semi;
    return true;
}

bool isBlockTag(QStringView name)
{
    for (const char *block : {"div", "p", "li", "ul", "ol", "tr", "h1", "h2", "h3", "h4", "h5", "h6", "blockquote",
                              "pre", "table"})
        if (name.compare(QLatin1String(block), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

QString htmlToText(QStringView html)
{
    if (!html.contains(u'<') && !html.contains(u'&'))
        return html.toString();
    QString out;
    out.reserve(html.size());
    const QString lineBreak = QStringLiteral("\r\n");
    // A block's edge is one line break between texts, however many edges meet.
    bool blockEdge = false;
    auto text = [&](auto &&append) {
        if (blockEdge && !out.isEmpty())
            out += lineBreak;
        blockEdge = false;
        append();
    };
    const qsizetype n = html.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = html[i];
        // The source's white space between blocks is layout, not text.
        if (blockEdge && (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'))
            continue;
        if (c == u'&') {
            QString chars;
            qsizetype last = i;
            if (readReference(html, i, chars, last)) {
                text([&] { out += chars; });
                i = last;
            } else {
                text([&] { out += c; });
            }
            continue;
        }
        const QChar next = i + 1 < n ? html[i + 1] : QChar();
        const bool tagStart = next.isLetter() || next == u'/' || next == u'!' || next == u'?';
        const qsizetype close = c == u'<' && tagStart ? html.indexOf(u'>', i + 1) : -1;
        if (close < 0) {
            text([&] { out += c; });
            continue;
        }
        if (html.mid(i, 4) == QLatin1String("<!--")) {
            const qsizetype end = html.indexOf(QLatin1String("-->"), i + 4);
            i = end < 0 ? n : end + 2;
            continue;
        }
        QStringView tag = html.mid(i + 1, close - i - 1);
        const bool closing = tag.startsWith(u'/');
        if (closing)
            tag = tag.mid(1);
        qsizetype nameEnd = 0;
        while (nameEnd < tag.size() && (tag[nameEnd].isLetterOrNumber()))
            ++nameEnd;
        const QStringView name = tag.left(nameEnd);
        i = close;
        if (name.compare(QLatin1String("br"), Qt::CaseInsensitive) == 0) {
            text([] {});
            out += lineBreak;
        } else if (isBlockTag(name)) {
            blockEdge = true;
        } else if (!closing && (name.compare(QLatin1String("script"), Qt::CaseInsensitive) == 0
                                || name.compare(QLatin1String("style"), Qt::CaseInsensitive) == 0)) {
            // Their content is no text.
            const qsizetype end = html.indexOf(QStringLiteral("</") + name.toString(), close + 1, Qt::CaseInsensitive);
            const qsizetype endClose = end < 0 ? -1 : html.indexOf(u'>', end);
            i = endClose < 0 ? n : endClose;
        }
    }
    return out;
}

} // namespace mdk::exchange
