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
#include <QTemporaryDir>

#include <map>
#include <unordered_map>

namespace mdk::exchange {

namespace {

// The node of each imported category: a name the tree holds joins that
// node, any other is created below its parent (or the target).
std::vector<QString> placeCategories(const ParsedImport &parsed, Deck &deck, CategoryTree::NodeId target)
{
    std::vector<QString> names(parsed.categories.size());
    std::vector<CategoryTree::NodeId> nodes(parsed.categories.size(), target);
    const QString targetName = deck.tree().name(target);
    for (size_t i = 0; i < parsed.categories.size(); ++i) {
        const ImportedCategory &c = parsed.categories[i];
        // A lesson's parent always comes before it; anything else is the target.
        const CategoryTree::NodeId parent = c.parent >= 0 && size_t(c.parent) < i ? nodes[size_t(c.parent)] : target;
        if (c.name.isEmpty()) {
            nodes[i] = parent;
        } else if (const CategoryTree::NodeId found = deck.tree().findByName(c.name); found != CategoryTree::None) {
            nodes[i] = found;
        } else {
            nodes[i] = deck.addCategory(parent, c.name);
        }
        names[i] = deck.tree().name(nodes[i]);
    }
    return names;
}

using Key = std::pair<int, QString>; // category number, side 1

struct KeyHash {
    size_t operator()(const Key &k) const noexcept { return qHash(k.second) ^ size_t(k.first) * 0x9E3779B97F4A7C15ull; }
};

} // namespace

ImportSummary applyImport(const ParsedImport &parsed, Deck &deck, const QString &target, Duplicates duplicates)
{
    ImportSummary summary;
    if (deck.showSubCategories() || parsed.cards.empty())
        return summary;
    deck.WriteBackView();
    const QString openName = deck.oldTreeName();
    CategoryTree::NodeId targetNode = deck.tree().findByName(target);
    if (targetNode == CategoryTree::None)
        targetNode = deck.tree().root();
    const std::vector<QString> categoryNames = placeCategories(parsed, deck, targetNode);
    const QString &targetName = deck.tree().name(targetNode);

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
    for (size_t k = 0; k < toAdd.size(); ++k) {
        const ImportedCard &card = parsed.cards[size_t(toAdd[k])];
        const auto replaced = newSide2.constFind(int(k));
        if (!deck.appendFileCard(card.side1, replaced == newSide2.constEnd() ? card.side2 : replaced.value(),
                                 categoryOf[size_t(categoryNumber(card))])) {
            summary.storeFull = true;
            break;
        }
        ++summary.added;
    }
    deck.LoadView(openName);
    return summary;
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

QString htmlToText(QStringView html)
{
    if (!html.contains(u'<') && !html.contains(u'&'))
        return html.toString();
    QString out;
    out.reserve(html.size());
    const qsizetype n = html.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = html[i];
        if (c == u'<') {
            const qsizetype close = html.indexOf(u'>', i + 1);
            if (close < 0) {
                out += c;
                continue;
            }
            QStringView tag = html.mid(i + 1, close - i - 1).trimmed();
            if (tag.endsWith(u'/'))
                tag.chop(1);
            tag = tag.trimmed();
            if (tag.compare(QLatin1String("br"), Qt::CaseInsensitive) == 0)
                out += QLatin1String("\r\n");
            i = close;
        } else if (c == u'&') {
            const qsizetype semi = html.indexOf(u';', i + 1);
            if (semi < 0 || semi - i > 10) {
                out += c;
                continue;
            }
            const QStringView name = html.mid(i + 1, semi - i - 1);
            char32_t code = 0;
            if (name == QLatin1String("amp"))
                code = u'&';
            else if (name == QLatin1String("lt"))
                code = u'<';
            else if (name == QLatin1String("gt"))
                code = u'>';
            else if (name == QLatin1String("quot"))
                code = u'"';
            else if (name == QLatin1String("apos"))
                code = u'\'';
            else if (name == QLatin1String("nbsp"))
                code = 0xA0;
            else if (name.startsWith(u'#')) {
                bool ok = false;
                const uint v = name.size() > 1 && (name[1] == u'x' || name[1] == u'X') ? name.mid(2).toUInt(&ok, 16)
                                                                                      : name.mid(1).toUInt(&ok, 10);
                code = ok && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF) ? char32_t(v) : 0;
                if (!ok) {
                    out += c;
                    continue;
                }
            } else {
                out += c;
                continue;
            }
            if (code != 0 && code != 7)
                out += QString::fromUcs4(&code, 1);
            i = semi;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace mdk::exchange
