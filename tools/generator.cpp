#include "generator.h"

#include "core/deck/cardfile.h"

#include <QSet>

#include <array>
#include <vector>

namespace mdk::generator {

namespace {

constexpr int kCategories = 320;   // below "Main"
constexpr int kTopLevel = 12;      // direct children of "Main", the large one first
constexpr std::uint32_t kMaxText = 80;

// Syllables for pseudo-words. The accented ones give the file bytes above
// 0x7F; the last group only exists in UTF-8.
constexpr std::array<const char16_t *, 40> kPlain = {
    u"ka", u"lo", u"ri", u"ma", u"ne", u"to", u"su", u"ve", u"da", u"pi",
    u"gra", u"sto", u"ben", u"mar", u"cho", u"tis", u"lun", u"fer", u"qui", u"zo",
    u"an", u"el", u"or", u"us", u"im", u"ba", u"de", u"fi", u"go", u"hu",
    u"ja", u"ke", u"li", u"mo", u"nu", u"pa", u"re", u"si", u"tu", u"wa"};
constexpr std::array<const char16_t *, 12> kAccented = {
    u"mé", u"tä", u"ño", u"çon", u"rü", u"sø", u"là", u"fö", u"grå", u"ße", u"ê", u"œu"};
constexpr std::array<const char16_t *, 8> kBeyond1252 = {
    u"ła", u"ső", u"ką", u"жи", u"λo", u"ğu", u"ść", u"ři"};

class TextMaker {
public:
    TextMaker(Rng &rng, bool utf8) : rng_(rng), utf8_(utf8) {}

    void appendSyllable(QString &out)
    {
        const std::uint32_t r = rng_.below(100);
        if (utf8_ && r < 4)
            out += QString::fromUtf16(kBeyond1252[rng_.below(kBeyond1252.size())]);
        else if (r < 10)
            out += QString::fromUtf16(kAccented[rng_.below(kAccented.size())]);
        else
            out += QString::fromUtf16(kPlain[rng_.below(kPlain.size())]);
    }

    QString word(std::uint32_t minSyllables, std::uint32_t maxSyllables)
    {
        QString w;
        const std::uint32_t n = minSyllables + rng_.below(maxSyllables - minSyllables + 1);
        for (std::uint32_t i = 0; i < n; ++i)
            appendSyllable(w);
        return w;
    }

    // Most cards hold a word or a short phrase; a few run to the full 80
    // characters. The minimum of three uniform draws gives that skew and
    // keeps a million cards near 50 MB.
    QString sideText()
    {
        std::uint32_t len = kMaxText;
        for (int i = 0; i < 3; ++i)
            len = std::min(len, 1 + rng_.below(kMaxText));
        QString text;
        text.reserve(len + 8);
        while (std::uint32_t(text.size()) < len) {
            if (!text.isEmpty())
                text += rng_.oneIn(12) ? QStringLiteral(", ") : QStringLiteral(" ");
            QString w = word(1, 3);
            if (text.isEmpty() && rng_.oneIn(4))
                w[0] = w[0].toUpper();
            text += w;
        }
        text.truncate(len);
        // Multi-line texts carry CR LF, as the card dialogs store them.
        if (len >= 4 && rng_.oneIn(16)) {
            const qsizetype at = 1 + rng_.below(len - 3);
            text[at] = QChar(u'\r');
            text[at + 1] = QChar(u'\n');
        }
        return text;
    }

private:
    Rng &rng_;
    bool utf8_;
};

} // namespace

std::uint64_t Rng::next()
{
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint32_t Rng::below(std::uint32_t n)
{
    return std::uint32_t((next() >> 32) * n >> 32);
}

QString largeCategoryName()
{
    return QStringLiteral("Vocabulary");
}

void fillDeck(Deck &deck, const Settings &settings)
{
    Rng rng(settings.seed);
    TextMaker maker(rng, settings.utf8);

    deck.clear();
    deck.setEncoding(settings.utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252);
    const CategoryTree &tree = deck.tree();

    // Names must be unique in the tree; "Main" is taken by the top node.
    QSet<QString> used{CategoryTree::kMainName, largeCategoryName()};
    auto uniqueName = [&] {
        QString name = maker.word(2, 3);
        name[0] = name[0].toUpper();
        if (rng.oneIn(3))
            name += QLatin1Char(' ') + maker.word(1, 2);
        for (int suffix = 2; used.contains(name); ++suffix)
            name = name.section(QLatin1Char('#'), 0, 0) + QLatin1Char('#') + QString::number(suffix);
        used.insert(name);
        return name;
    };

    std::vector<CategoryTree::NodeId> nodes{tree.root()};
    std::vector<int> depth{0};
    const CategoryTree::NodeId large = deck.addCategory(tree.root(), largeCategoryName());
    nodes.push_back(large);
    depth.push_back(1);
    for (int i = 1; i < kTopLevel; ++i) {
        nodes.push_back(deck.addCategory(tree.root(), uniqueName()));
        depth.push_back(1);
    }
    while (int(nodes.size()) <= kCategories) {
        const size_t p = rng.below(std::uint32_t(nodes.size()));
        if (depth[p] >= kMaxDepth)
            continue;
        nodes.push_back(deck.addCategory(nodes[p], uniqueName()));
        depth.push_back(depth[p] + 1);
    }

    // Cards: about 10 % in the large category, 5 % in "Main", the rest
    // spread over every category.
    deck.reserveFileCards(settings.cards);
    for (int c = 0; c < settings.cards; ++c) {
        const QString side1 = maker.sideText();
        const QString side2 = maker.sideText();
        const std::uint32_t r = rng.below(100);
        CategoryTree::NodeId node;
        if (r < 10)
            node = large;
        else if (r < 15)
            node = tree.root();
        else
            node = nodes[rng.below(std::uint32_t(nodes.size()))];
        deck.appendFileCard(side1, side2, tree.name(node));
    }

    deck.LoadView(CategoryTree::kMainName);
    deck.ResetCurrentCard();
}

WriteResult writeFile(const Settings &settings, const QString &path)
{
    Deck deck;
    fillDeck(deck, settings);
    deck.WriteBackView(); // as a save does
    return cardfile::writeDeck(deck, path);
}

} // namespace mdk::generator
