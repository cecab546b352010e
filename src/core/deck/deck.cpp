#include "deck.h"

#include <algorithm>

namespace mdk {

Deck::Deck() = default;

void Deck::clear()
{
    file_.clear();
    file_.shrink_to_fit();
    fileCat_.clear();
    fileCat_.shrink_to_fit();
    view_.clear();
    deleted_.clear();
    names_.clear();
    nameIds_.clear();
    marks_.ClearList();
    tree_.reset();
    oldTreeName_ = CategoryTree::kMainName;
    showSubCategories_ = false;
    placeseek_ = 0;
    side_ = 0;
    changed_ = false;
    saved_ = false;
    encoding_ = TextEncoding::Windows1252;
    viewTouched();
    treeTouched();
}

void Deck::setCurrentCard(int placeseek, int side)
{
    placeseek_ = placeseek;
    side_ = side;
    viewTouched();
}

void Deck::setSide(int side)
{
    side_ = side;
    viewTouched();
}

bool Deck::addMark(int viewIndex)
{
    viewTouched();
    return marks_.add(viewIndex);
}

void Deck::clearMarks()
{
    marks_.ClearList();
    viewTouched();
}

void Deck::markSaved()
{
    changed_ = false;
    saved_ = true;
}

CategoryTree::NodeId Deck::addCategory(CategoryTree::NodeId parent, const QString &name)
{
    const CategoryTree::NodeId id = tree_.addChild(parent, name);
    changed_ = true;
    treeTouched();
    return id;
}

void Deck::selectCategory(CategoryTree::NodeId node)
{
    tree_.setSelected(node);
    treeTouched();
}

void Deck::renameCategory(CategoryTree::NodeId node, const QString &name)
{
    if (!tree_.isValid(node) || node == tree_.root())
        return;
    const QString old = tree_.name(node);
    const bool viewIsOld = !showSubCategories_ && oldTreeName_ == old;
    int orphans = 0;
    if (!showSubCategories_) {
        WriteBackView();
        if (viewIsOld)
            ForEachCardOfCategory(name, [&](int) { ++orphans; });
    }
    tree_.rename(node, name);
    relabelCategory(old, name);
    if (orphans > 0) {
        // The orphans come before the written-back view cards in the file,
        // so the reloaded view is the orphans, then the old view in order.
        const std::vector<int> marks = marks_.values();
        LoadView(name);
        marks_.ClearList();
        for (int m : marks)
            marks_.add(m + orphans);
        placeseek_ += orphans;
    }
    changed_ = true;
    viewTouched();
    treeTouched();
}

CategoryTree::NodeId Deck::deleteCategory(CategoryTree::NodeId node)
{
    if (!tree_.isValid(node) || node == tree_.root())
        return tree_.selected();
    const CategoryTree::NodeId parent = tree_.parent(node);
    const auto &siblings = tree_.children(parent);
    CategoryTree::NodeId next = parent;
    for (size_t i = 0; i + 1 < siblings.size(); ++i)
        if (siblings[i] == node)
            next = siblings[i + 1];
    next = tree_.removeSubtree(node, next);
    tree_.setSelected(next);
    // Opening folds the view back under the open name (in the same pass that
    // loads the new view); the sweep then drops the subtree's cards and any
    // orphans in one compaction. Only with "Main" open does opening "Main"
    // skip the fold, and then the view is not among the deleted cards.
    OpenCategory();
    removeCardsOutsideTree();
    changed_ = true;
    treeTouched();
    return next;
}

int Deck::nameId(const QString &name)
{
    const auto it = nameIds_.constFind(name);
    if (it != nameIds_.constEnd())
        return it.value();
    const int id = int(names_.size());
    names_.push_back(name);
    nameIds_.insert(name, id);
    return id;
}

void Deck::foldViewBack(int nextId, std::vector<int> *nextCards)
{
    // One pass drops the open category's stale cards, keeping every other
    // card in order; then the view is appended. The appends ignore the
    // store size: the view's cards are already in the deck, and refusing
    // them here would lose them.
    const int open = nameId(oldTreeName_);
    size_t out = 0;
    for (size_t j = 0; j < fileCat_.size(); ++j) {
        const int id = fileCat_[j];
        if (id == open)
            continue;
        if (id == nextId)
            nextCards->push_back(int(out));
        if (out != j) {
            file_[out] = std::move(file_[j]);
            fileCat_[out] = id;
        }
        ++out;
    }
    file_.resize(out);
    fileCat_.resize(out);

    if (nextId >= 0) {
        if (open == nextId)
            for (size_t k = 0; k < view_.size(); ++k)
                nextCards->push_back(int(out + k));
        file_.insert(file_.end(), std::make_move_iterator(view_.begin()), std::make_move_iterator(view_.end()));
    } else {
        file_.insert(file_.end(), view_.begin(), view_.end());
    }
    fileCat_.insert(fileCat_.end(), view_.size(), open);
    if (nextId >= 0)
        view_.clear();
}

void Deck::WriteBackView()
{
    foldViewBack();
}

void Deck::LoadView(const QString &name)
{
    std::vector<int> cards;
    ForEachCardOfCategory(name, [&](int j) { cards.push_back(j); });
    loadViewFrom(cards);
    oldTreeName_ = name;
}

void Deck::loadViewFrom(const std::vector<int> &cards)
{
    view_.clear();
    for (int j : cards)
        view_.push_back(file_[size_t(j)]);
    viewTouched();
}

std::vector<std::vector<int>> Deck::cardsOfCategories(const std::vector<CategoryTree::NodeId> &nodes) const
{
    // One pass over the file sorts each card into the bucket of its
    // category's node, instead of one scan of the file per category.
    std::vector<int> firstNode(names_.size(), -1); // name number -> first node holding it
    for (size_t r = nodes.size(); r-- > 0;) {
        const int id = findName(tree_.name(nodes[r]));
        if (id >= 0)
            firstNode[size_t(id)] = int(r);
    }
    std::vector<std::vector<int>> buckets(nodes.size());
    for (size_t j = 0; j < fileCat_.size(); ++j) {
        const int r = firstNode[size_t(fileCat_[j])];
        if (r >= 0)
            buckets[size_t(r)].push_back(int(j));
    }
    // A name held by two nodes (only in corrupt files) gives its cards to
    // both, as visiting each node by name would.
    for (size_t r = 0; r < nodes.size(); ++r) {
        const int id = findName(tree_.name(nodes[r]));
        if (id >= 0 && firstNode[size_t(id)] != int(r))
            buckets[r] = buckets[size_t(firstNode[size_t(id)])];
    }
    return buckets;
}

void Deck::LoadViewWithSubcategories(CategoryTree::NodeId node)
{
    const auto buckets = cardsOfCategories(tree_.preorder(node));
    view_.clear();
    for (const auto &bucket : buckets)
        for (int j : bucket)
            view_.push_back(file_[size_t(j)]);
    viewTouched();
}

void Deck::OpenCategory()
{
    const QString selectedName = tree_.selectedName();
    if (!showSubCategories_) {
        if (selectedName == CategoryTree::kMainName && oldTreeName_ == CategoryTree::kMainName)
            return;
        // WriteBackView, then LoadView, sharing one pass over the file.
        std::vector<int> cards;
        foldViewBack(nameId(selectedName), &cards);
        loadViewFrom(cards);
    } else {
        LoadViewWithSubcategories(tree_.selected());
    }
    oldTreeName_ = selectedName;
    ResetCurrentCard();
}

void Deck::ToggleSubcategoryMode()
{
    if (!showSubCategories_) {
        showSubCategories_ = true;
        WriteBackView();
        OpenCategory();
    } else {
        showSubCategories_ = false;
        const QString selectedName = tree_.selectedName();
        LoadView(selectedName);
        oldTreeName_ = selectedName;
        ResetCurrentCard();
    }
    treeTouched();
}

void Deck::RemoveViewCard(int p)
{
    if (p < 0 || p >= viewCount())
        return;
    deleted_.push_back(std::move(view_[size_t(p)]));
    view_.erase(view_.begin() + p);
    marks_.renumberAfterRemoval(p);
    cardsChanged();
}

void Deck::ResetCurrentCard()
{
    side_ = 0;
    placeseek_ = 0;
    marks_.ClearList();
    viewTouched();
}

bool Deck::appendViewCard(const QString &side1, const QString &side2)
{
    if (viewCount() >= capacity_)
        return false;
    view_.push_back({side1, side2});
    cardsChanged();
    return true;
}

bool Deck::insertViewCard(int k, const QString &side1, const QString &side2)
{
    if (viewCount() >= capacity_ || k < 0 || k > viewCount())
        return false;
    view_.insert(view_.begin() + k, Card{side1, side2});
    // The card that was at k moves up too, and its mark with it.
    marks_.renumberAfterInsertion(k - 1);
    cardsChanged();
    return true;
}

bool Deck::replaceViewCard(int k, const QString &side1, const QString &side2)
{
    if (k < 0 || k >= viewCount())
        return false;
    view_[size_t(k)] = {side1, side2};
    cardsChanged();
    return true;
}

bool Deck::takeViewCard(int k, QString &side1, QString &side2)
{
    if (k < 0 || k >= viewCount())
        return false;
    side1 = std::move(view_[size_t(k)].side1);
    side2 = std::move(view_[size_t(k)].side2);
    view_.erase(view_.begin() + k);
    marks_.renumberAfterRemoval(k);
    cardsChanged();
    return true;
}

bool Deck::moveViewCard(int k, const QString &destination)
{
    if (k < 0 || k >= viewCount())
        return false;
    file_.push_back(std::move(view_[size_t(k)]));
    fileCat_.push_back(nameId(destination));
    view_.erase(view_.begin() + k);
    marks_.renumberAfterRemoval(k);
    cardsChanged();
    return true;
}

void Deck::moveAllViewCards(const QString &destination)
{
    // After the write-back the open category's cards are the last ones, so
    // relabelling them in place puts them after the destination's own.
    WriteBackView();
    const int from = nameId(oldTreeName_);
    const int to = nameId(destination);
    std::replace(fileCat_.end() - std::ptrdiff_t(view_.size()), fileCat_.end(), from, to);
    view_.clear();
    marks_.ClearList();
    cardsChanged();
}

void Deck::relabelCategory(const QString &from, const QString &to)
{
    const int fromId = findName(from);
    if (fromId >= 0) {
        const int toId = nameId(to);
        // Each card is looked at once, so a rename that differs only in
        // letter case cannot relabel a card twice.
        std::replace(fileCat_.begin(), fileCat_.end(), fromId, toId);
        changed_ = true;
    }
    if (oldTreeName_ == from)
        oldTreeName_ = to;
}

int Deck::removeCardsOutsideTree()
{
    std::vector<char> inTree(names_.size());
    for (size_t id = 0; id < names_.size(); ++id)
        inTree[id] = tree_.contains(names_[id]);
    size_t out = 0;
    for (size_t j = 0; j < file_.size(); ++j) {
        if (!inTree[size_t(fileCat_[j])])
            continue;
        if (out != j) {
            file_[out] = std::move(file_[j]);
            fileCat_[out] = fileCat_[j];
        }
        ++out;
    }
    const int removed = int(file_.size() - out);
    file_.resize(out);
    fileCat_.resize(out);
    if (removed > 0)
        changed_ = true;
    return removed;
}

void Deck::clearViewToDeleted()
{
    for (Card &card : view_)
        deleted_.push_back(std::move(card));
    view_.clear();
    marks_.ClearList();
    cardsChanged();
}

bool Deck::undeleteCard(int u)
{
    if (u < 0 || u >= deletedCount())
        return false;
    marks_.ClearList();
    viewTouched();
    if (viewCount() >= capacity_)
        return false;
    view_.push_back(std::move(deleted_.at(size_t(u))));
    deleted_.erase(size_t(u));
    cardsChanged();
    return true;
}

bool Deck::undeleteAll()
{
    const size_t room = size_t(std::max(0, capacity_ - viewCount()));
    const size_t n = std::min(room, deleted_.size());
    deleted_.takeFront(n, view_);
    marks_.ClearList();
    if (n > 0)
        cardsChanged();
    viewTouched();
    return deleted_.empty();
}

bool Deck::appendFileCard(const QString &side1, const QString &side2, const QString &category)
{
    if (fileCount() >= capacity_)
        return false;
    const int id = nameId(category);
    file_.push_back({side1, side2});
    fileCat_.push_back(id);
    changed_ = true;
    return true;
}

void Deck::reserveFileCards(int more)
{
    const size_t room = size_t(std::max(0, capacity_ - fileCount()));
    const size_t n = file_.size() + std::min(room, size_t(std::max(0, more)));
    file_.reserve(n);
    fileCat_.reserve(n);
}

bool Deck::permuteView(const std::vector<int> &order)
{
    if (order.size() != view_.size())
        return false;
    std::vector<char> seen(order.size());
    for (int k : order) {
        if (k < 0 || size_t(k) >= order.size() || seen[size_t(k)])
            return false;
        seen[size_t(k)] = 1;
    }
    std::deque<Card> reordered;
    for (int k : order)
        reordered.push_back(std::move(view_[size_t(k)]));
    view_ = std::move(reordered);
    marks_.ClearList();
    cardsChanged();
    return true;
}

void Deck::flipViewSides()
{
    for (Card &card : view_)
        card.side1.swap(card.side2);
    cardsChanged();
}

std::pair<size_t, size_t> Deck::CardChunks::find(size_t u) const
{
    size_t chunk = 0;
    while (u >= chunks_[chunk].size())
        u -= chunks_[chunk++].size();
    return {chunk, u};
}

const Deck::Card &Deck::CardChunks::at(size_t u) const
{
    const auto [chunk, i] = find(u);
    return chunks_[chunk][i];
}

Deck::Card &Deck::CardChunks::at(size_t u)
{
    const auto [chunk, i] = find(u);
    return chunks_[chunk][i];
}

void Deck::CardChunks::push_back(Card &&card)
{
    if (chunks_.empty() || chunks_.back().size() >= kChunk)
        chunks_.emplace_back();
    chunks_.back().push_back(std::move(card));
    ++size_;
}

void Deck::CardChunks::erase(size_t u)
{
    const auto [chunk, i] = find(u);
    std::vector<Card> &cards = chunks_[chunk];
    cards.erase(cards.begin() + std::ptrdiff_t(i));
    if (cards.empty())
        chunks_.erase(chunks_.begin() + std::ptrdiff_t(chunk));
    --size_;
}

void Deck::CardChunks::takeFront(size_t n, std::deque<Card> &out)
{
    size_t whole = 0;
    for (; whole < chunks_.size() && chunks_[whole].size() <= n; ++whole) {
        out.insert(out.end(), std::make_move_iterator(chunks_[whole].begin()),
                   std::make_move_iterator(chunks_[whole].end()));
        n -= chunks_[whole].size();
        size_ -= chunks_[whole].size();
    }
    chunks_.erase(chunks_.begin(), chunks_.begin() + std::ptrdiff_t(whole));
    if (n > 0) {
        std::vector<Card> &first = chunks_.front();
        out.insert(out.end(), std::make_move_iterator(first.begin()),
                   std::make_move_iterator(first.begin() + std::ptrdiff_t(n)));
        first.erase(first.begin(), first.begin() + std::ptrdiff_t(n));
        size_ -= n;
    }
}

void Deck::CardChunks::clear()
{
    chunks_.clear();
    size_ = 0;
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
