#include "deck.h"

#include "deckhistory.h"

#include <algorithm>
#include <utility>

namespace mdk {

Deck::Deck() = default;

Deck::HistoryHandle::HistoryHandle() : history_(std::make_unique<DeckHistory>()) {}
Deck::HistoryHandle::~HistoryHandle() = default;
Deck::HistoryHandle::HistoryHandle(const HistoryHandle &) : HistoryHandle() {}
Deck::HistoryHandle::HistoryHandle(HistoryHandle &&other) noexcept
    : recording(std::exchange(other.recording, false)),
      history_(std::exchange(other.history_, std::make_unique<DeckHistory>()))
{
}

// A deck given other contents keeps its own setting and starts an empty
// history.
Deck::HistoryHandle &Deck::HistoryHandle::operator=(const HistoryHandle &)
{
    const bool enabled = history_->enabled;
    *history_ = DeckHistory();
    history_->enabled = enabled;
    recording = enabled;
    return *this;
}

Deck::HistoryHandle &Deck::HistoryHandle::operator=(HistoryHandle &&other) noexcept
{
    return *this = static_cast<const HistoryHandle &>(other);
}

template <class Entry>
void Deck::record(Entry &&entry)
{
    using E = std::decay_t<Entry>;
    DeckHistory &h = *history_;
    DeckHistory::Segment &segment = h.depth > 0 ? h.body : h.pending;
    if constexpr (DeckHistory::kIsContent<E>)
        segment.changesContent = true;
    if constexpr (std::is_same_v<E, DeckHistory::ViewToDeleted>) {
        if (!segment.entries.empty())
            if (auto *last = std::get_if<DeckHistory::ViewToDeleted>(&segment.entries.back());
                last && entry.k == last->k - last->count) {
                ++last->count;
                return;
            }
    }
    // Cards read in one after another (Paste from) make one entry.
    if constexpr (std::is_same_v<E, DeckHistory::FileAppend>) {
        if (!segment.entries.empty())
            if (auto *last = std::get_if<DeckHistory::FileAppend>(&segment.entries.back())) {
                last->count += entry.count;
                return;
            }
    }
    segment.entries.emplace_back(std::in_place_type<E>, std::forward<Entry>(entry));
    // Moving between categories back and forth brings the deck back to a
    // place it was at since the last step: the moves in between cancel out
    // and are dropped, so the undo after thirty round trips takes back at
    // most the moves to two places. Between steps nothing but moves
    // happens, so the cards' texts are those of that place too.
    if constexpr (std::is_same_v<E, DeckHistory::Load>) {
        if (&segment == &h.pending && !segment.changesContent && h.depth == 0)
            placeReached();
    }
}

void Deck::placeReached()
{
    DeckHistory::Segment &segment = history_->pending;
    const quint64 here = DeckHistory::place(*this);
    for (auto it = segment.places.begin(); it != segment.places.end(); ++it)
        if (it->first == here) {
            segment.entries.resize(it->second);
            segment.places.erase(it + 1, segment.places.end());
            return;
        }
    segment.places.emplace_back(here, segment.entries.size());
}

template <class Entry>
void Deck::act(Entry &&entry)
{
    using E = std::decay_t<Entry>;
    DeckHistory::Entry change(std::in_place_type<E>, std::forward<Entry>(entry));
    DeckHistory::apply(*this, change, recording());
    if (recording())
        record(std::move(std::get<E>(change)));
}

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
    viewSource_ = {};
    clearHistory();
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

CategoryTree::NodeId Deck::addCategory(CategoryTree::NodeId parent, const QString &name)
{
    act(DeckHistory::AddNode{parent, name});
    changed_ = true;
    treeTouched();
    return tree_.nodeCount() - 1;
}

void Deck::selectCategory(CategoryTree::NodeId node)
{
    if (node != tree_.selected())
        act(DeckHistory::Select{tree_.selected(), node});
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
    act(DeckHistory::RenameNode{node, old, name});
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
    act(DeckHistory::RemoveNode{{}, node, next});
    next = tree_.selected();
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
    act(DeckHistory::Fold{nameId(oldTreeName_), 0, nextId >= 0, {}, nextId, nextCards});
}

void Deck::WriteBackView()
{
    foldViewBack();
}

void Deck::LoadView(const QString &name)
{
    replaceView({ViewSource::Category, findName(name)}, name);
}

void Deck::replaceView(ViewSource source, const QString &name, const std::vector<int> *cards)
{
    act(DeckHistory::Load{viewSource_, std::move(source), {}, oldTreeName_, name, cards});
    viewTouched();
}

void Deck::copyViewFrom(ViewSource source)
{
    view_.clear();
    switch (source.kind) {
    case ViewSource::Other:
    case ViewSource::Empty:
        break;
    case ViewSource::Mirror:
        view_.insert(view_.end(), file_.begin() + source.at, file_.begin() + source.at + source.count);
        break;
    case ViewSource::Category:
        if (source.at >= 0)
            for (size_t j = 0; j < fileCat_.size(); ++j)
                if (fileCat_[j] == source.at)
                    view_.push_back(file_[j]);
        break;
    case ViewSource::Composite:
        for (const auto &bucket : cardsOfCategories(tree_.preorder(source.at)))
            for (int j : bucket)
                view_.push_back(file_[size_t(j)]);
        break;
    }
    if (source.order && source.order->size() == view_.size()) {
        std::deque<Card> reordered;
        for (int k : *source.order)
            reordered.push_back(std::move(view_[size_t(k)]));
        view_ = std::move(reordered);
    }
    if (source.flipped)
        for (Card &card : view_)
            card.side1.swap(card.side2);
    viewSource_ = std::move(source);
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
    replaceView({ViewSource::Composite, node}, oldTreeName_);
}

void Deck::OpenCategory()
{
    const QString selectedName = tree_.selectedName();
    if (!showSubCategories_) {
        if (selectedName == CategoryTree::kMainName && oldTreeName_ == CategoryTree::kMainName)
            return;
        // WriteBackView, then LoadView, sharing one pass over the file.
        std::vector<int> cards;
        const int next = nameId(selectedName);
        foldViewBack(next, &cards);
        replaceView({ViewSource::Category, next}, selectedName, &cards);
    } else {
        replaceView({ViewSource::Composite, tree_.selected()}, selectedName);
    }
    ResetCurrentCard();
}

void Deck::ToggleSubcategoryMode()
{
    const bool on = !showSubCategories_;
    act(DeckHistory::SubMode{!on, on});
    if (on) {
        WriteBackView();
        OpenCategory();
    } else {
        LoadView(tree_.selectedName());
        ResetCurrentCard();
    }
    treeTouched();
}

void Deck::RemoveViewCard(int p)
{
    if (p < 0 || p >= viewCount())
        return;
    act(DeckHistory::ViewToDeleted{p});
    marks_.renumberAfterRemoval(p);
    viewEdited();
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
    return insertViewCard(viewCount(), side1, side2);
}

bool Deck::insertViewCard(int k, const QString &side1, const QString &side2)
{
    if (viewCount() >= capacity_ || k < 0 || k > viewCount())
        return false;
    act(DeckHistory::ViewInsert{k, Card{side1, side2}});
    // The card that was at k moves up too, and its mark with it.
    if (k < viewCount() - 1)
        marks_.renumberAfterInsertion(k - 1);
    viewEdited();
    cardsChanged();
    return true;
}

bool Deck::replaceViewCard(int k, const QString &side1, const QString &side2)
{
    if (k < 0 || k >= viewCount())
        return false;
    // The card before is kept even with the history off: the text listener hears it.
    act(DeckHistory::ViewReplace{k, view_[size_t(k)], Card{side1, side2}});
    viewEdited();
    cardsChanged();
    return true;
}

bool Deck::takeViewCard(int k, QString &side1, QString &side2)
{
    if (k < 0 || k >= viewCount())
        return false;
    side1 = view_[size_t(k)].side1;
    side2 = view_[size_t(k)].side2;
    act(DeckHistory::ViewTake{k});
    marks_.renumberAfterRemoval(k);
    viewEdited();
    cardsChanged();
    return true;
}

bool Deck::moveViewCard(int k, const QString &destination)
{
    if (k < 0 || k >= viewCount())
        return false;
    act(DeckHistory::ViewToFile{k, nameId(destination)});
    marks_.renumberAfterRemoval(k);
    viewEdited();
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
    act(DeckHistory::MoveAll{int(view_.size()), from, to});
    marks_.ClearList();
    viewSource_ = {};
    cardsChanged();
}

void Deck::relabelCategory(const QString &from, const QString &to)
{
    const int fromId = findName(from);
    const bool open = oldTreeName_ == from;
    std::vector<int> relabelled;
    int toId = -1;
    if (fromId >= 0) {
        toId = nameId(to);
        // The cards are found before any changes, so a rename that differs
        // only in letter case cannot relabel a card twice.
        for (size_t j = 0; j < fileCat_.size(); ++j)
            if (fileCat_[j] == fromId)
                relabelled.push_back(int(j));
        changed_ = true;
    }
    if (fromId >= 0 || open)
        act(DeckHistory::Relabel{std::move(relabelled), fromId, toId, from, to, open});
    // A view of the old name now stands for the new one.
    if (viewSource_.kind == ViewSource::Category && viewSource_.at == fromId && fromId >= 0)
        viewSource_ = {};
}

int Deck::removeCardsOutsideTree()
{
    std::vector<char> inTree(names_.size());
    for (size_t id = 0; id < names_.size(); ++id)
        inTree[id] = tree_.contains(names_[id]);
    std::vector<int> at;
    for (size_t j = 0; j < fileCat_.size(); ++j)
        if (!inTree[size_t(fileCat_[j])])
            at.push_back(int(j));
    const int count = int(at.size());
    if (count > 0) {
        act(DeckHistory::RemoveCards{std::move(at)});
        changed_ = true;
        if (viewSource_.kind == ViewSource::Mirror)
            viewSource_ = {ViewSource::Other};
    }
    return count;
}

void Deck::clearViewToDeleted()
{
    act(DeckHistory::ClearToDeleted{int(view_.size())});
    marks_.ClearList();
    viewSource_ = {};
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
    act(DeckHistory::Undelete{u});
    viewEdited();
    cardsChanged();
    return true;
}

bool Deck::undeleteAll()
{
    const size_t room = size_t(std::max(0, capacity_ - viewCount()));
    const size_t n = std::min(room, deleted_.size());
    if (n > 0)
        act(DeckHistory::UndeleteFront{int(n)});
    marks_.ClearList();
    if (n > 0) {
        viewEdited();
        cardsChanged();
    }
    viewTouched();
    return deleted_.empty();
}

bool Deck::appendFileCard(const QString &side1, const QString &side2, const QString &category)
{
    if (fileCount() >= capacity_)
        return false;
    const int id = nameId(category);
    // Reading a file appends a million of these: no entry is built unless
    // the history keeps it, and then only a count (its cards stay in the
    // deck), so this one change is made by hand beside FileAppend's apply.
    file_.push_back({side1, side2});
    fileCat_.push_back(id);
    if (recording())
        record(DeckHistory::FileAppend{1, {}, {}});
    if (viewSource_.kind == ViewSource::Category && viewSource_.at == id)
        viewSource_ = {ViewSource::Other};
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
    const bool composed = showSubCategories_ && viewSource_.kind != ViewSource::Other;
    act(DeckHistory::Permute{order, composed});
    marks_.ClearList();
    if (composed) {
        // The combined view stays a copy of its categories, in a new order.
        auto composed = std::make_shared<std::vector<int>>(order);
        if (viewSource_.order)
            for (int &k : *composed)
                k = (*viewSource_.order)[size_t(k)];
        viewSource_.order = std::move(composed);
    } else {
        viewEdited();
    }
    cardsChanged();
    return true;
}

void Deck::flipViewSides()
{
    act(DeckHistory::Flip{});
    if (showSubCategories_ && viewSource_.kind != ViewSource::Other)
        viewSource_.flipped = !viewSource_.flipped;
    else
        viewEdited();
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
