#include "deck.h"

#include <QHash>

namespace mdk {

Deck::Deck() = default;

void Deck::setCapacity(int capacity)
{
    for (TextList *list : {&MainSide1List, &MainSide2List, &CatList, &Side1List, &Side2List,
                           &UndeleteList1, &UndeleteList2, &TempList, &TempList2})
        list->setCapacity(capacity);
}

void Deck::clear()
{
    for (TextList *list : {&MainSide1List, &MainSide2List, &CatList, &Side1List, &Side2List,
                           &UndeleteList1, &UndeleteList2, &TempList, &TempList2})
        list->ClearList();
    Marks.ClearList();
    tree.reset();
    OldTreeName = CategoryTree::kMainName;
    placeseek = 0;
    side = 0;
    totalcardsinfile = 0;
    filehasbeensaved = 0;
    Word = Meaning = QStringLiteral(" ");
    encoding = TextEncoding::Windows1252;
}

namespace {

// Copying a text bumps the reference count in its heap block. In a big deck
// those blocks are scattered and rarely cached, and the atomic increments
// wait for each one in turn; asking for the blocks a few cards ahead lets
// the memory fetches overlap.
constexpr size_t kPrefetchAhead = 16;

void prefetchText(const QString &text)
{
    // The reference count sits just before the characters.
    __builtin_prefetch(reinterpret_cast<const char *>(text.constData()) - sizeof(QArrayData), 1);
}

// Moves the open category's cards, as the view holds them, to the end of
// the file-level lists. When the view is about to be rebuilt anyway, its
// texts are moved rather than copied: copying a text touches its heap
// block, and in a big deck those blocks are seldom in cache.
// Folds the view back into the file-level lists. With next set, the view
// is about to be replaced by that category's cards: its texts are moved
// instead of copied, and the same pass notes where next's cards end up, so
// the new view needs no second scan of the file.
void foldViewBack(Deck &deck, const QString *next = nullptr, std::vector<int> *nextCards = nullptr)
{
    // One pass that drops the open category's stale entries, keeping every
    // other card in order; then the view is appended. The appends ignore the
    // store size: the view's cards are already in the deck, and refusing them
    // here would lose them.
    auto &s1 = deck.MainSide1List.storage();
    auto &s2 = deck.MainSide2List.storage();
    auto &cat = deck.CatList.storage();
    const QString &open = deck.OldTreeName;
    size_t out = 0;
    for (size_t j = 0; j < cat.size(); ++j) {
        if (sameText(cat[j], open))
            continue;
        if (next && sameText(cat[j], *next))
            nextCards->push_back(int(out));
        if (out != j) {
            s1[out] = std::move(s1[j]);
            s2[out] = std::move(s2[j]);
            cat[out] = std::move(cat[j]);
        }
        ++out;
    }
    s1.resize(out);
    s2.resize(out);
    cat.resize(out);

    auto &v1 = deck.Side1List.storage();
    auto &v2 = deck.Side2List.storage();
    if (next) {
        if (open == *next)
            for (size_t k = 0; k < v1.size(); ++k)
                nextCards->push_back(int(out + k));
        s1.insert(s1.end(), std::make_move_iterator(v1.begin()), std::make_move_iterator(v1.end()));
        s2.insert(s2.end(), std::make_move_iterator(v2.begin()), std::make_move_iterator(v2.end()));
    } else {
        s1.insert(s1.end(), v1.begin(), v1.end());
        s2.insert(s2.end(), v2.begin(), v2.end());
    }
    cat.insert(cat.end(), v1.size(), open); // all entries share one text
    if (next) {
        v1.clear();
        v2.clear();
    }
}

} // namespace

void Deck::WriteBackView()
{
    foldViewBack(*this);
}

void Deck::LoadView(const QString &name)
{
    std::vector<int> cards;
    ForEachCardOfCategory(name, [&](int j) { cards.push_back(j); });
    loadViewFrom(cards);
}

void Deck::loadViewFrom(const std::vector<int> &cards)
{
    Side1List.ClearList();
    Side2List.ClearList();
    auto &v1 = Side1List.storage();
    auto &v2 = Side2List.storage();
    v1.reserve(cards.size());
    v2.reserve(cards.size());
    for (size_t i = 0; i < cards.size(); ++i) {
        if (i + kPrefetchAhead < cards.size()) {
            prefetchText(MainSide1List.at(cards[i + kPrefetchAhead]));
            prefetchText(MainSide2List.at(cards[i + kPrefetchAhead]));
        }
        v1.push_back(MainSide1List.at(cards[i]));
        v2.push_back(MainSide2List.at(cards[i]));
    }
    totalcardsinfile = viewCount();
}

std::vector<std::vector<int>> Deck::cardsOfCategories(const std::vector<CategoryTree::NodeId> &nodes) const
{
    // One pass over the file sorts each card into the bucket of its
    // category's node, instead of one scan of the file per category.
    QHash<QString, int> first; // name -> first node index holding it
    first.reserve(qsizetype(nodes.size()));
    for (size_t r = nodes.size(); r-- > 0;)
        first.insert(tree.name(nodes[r]), int(r));

    std::vector<std::vector<int>> buckets(nodes.size());
    const auto &cats = CatList.items();
    for (size_t j = 0; j < cats.size(); ++j) {
        auto it = first.constFind(cats[j]);
        if (it != first.constEnd())
            buckets[size_t(it.value())].push_back(int(j));
    }
    // A name held by two nodes (only in corrupt files) gives its cards to
    // both, as visiting each node by name would.
    for (size_t r = 0; r < nodes.size(); ++r) {
        const int owner = first.value(tree.name(nodes[r]));
        if (owner != int(r))
            buckets[r] = buckets[size_t(owner)];
    }
    return buckets;
}

void Deck::LoadViewWithSubcategories(CategoryTree::NodeId node)
{
    Side1List.ClearList();
    Side2List.ClearList();
    auto &v1 = Side1List.storage();
    auto &v2 = Side2List.storage();
    for (const auto &bucket : cardsOfCategories(tree.preorder(node)))
        for (int j : bucket) {
            v1.push_back(MainSide1List.at(j));
            v2.push_back(MainSide2List.at(j));
        }
    totalcardsinfile = viewCount();
}

void Deck::OpenCategory()
{
    const QString selectedName = tree.selectedName();
    if (!ShowSubCategories) {
        if (selectedName == CategoryTree::kMainName && OldTreeName == CategoryTree::kMainName)
            return;
        // WriteBackView, then LoadView, sharing one pass over the file.
        std::vector<int> cards;
        foldViewBack(*this, &selectedName, &cards);
        loadViewFrom(cards);
    } else {
        LoadViewWithSubcategories(tree.selected());
    }
    OldTreeName = selectedName;
    ResetCurrentCard();
}

void Deck::ToggleSubcategoryMode()
{
    if (!ShowSubCategories) {
        ShowSubCategories = true;
        WriteBackView();
        OpenCategory();
    } else {
        ShowSubCategories = false;
        const QString selectedName = tree.selectedName();
        LoadView(selectedName);
        OldTreeName = selectedName;
        ResetCurrentCard();
    }
}

void Deck::RemoveViewCard(int p)
{
    if (p < 0 || p >= viewCount())
        return;
    filehaschanged = 1;
    Side1List.GetString(Word, p);
    Side2List.GetString(Meaning, p);
    // Kept past the store size: a deleted card must stay undeletable.
    UndeleteList1.storage().push_back(Word);
    UndeleteList2.storage().push_back(Meaning);
    Side1List.DeleteString(p);
    Side2List.DeleteString(p);
    RenumberMarksAfterRemoval(p);
    totalcardsinfile = viewCount();
}

void Deck::ResetCurrentCard()
{
    Word = Meaning = QStringLiteral(" ");
    side = 0;
    placeseek = 0;
    Marks.ClearList();
}

QString Deck::cleanText(const QString &text)
{
    if (!text.contains(QChar(0x07)) && !text.contains(QChar(0)))
        return text;
    QString out = text;
    out.remove(QChar(0x07));
    out.remove(QChar(0));
    return out;
}

} // namespace mdk
