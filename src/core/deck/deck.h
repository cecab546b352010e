#pragma once

#include "categorytree.h"
#include "marklist.h"
#include "textpool.h"

#include <QHash>
#include <QString>

#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace mdk {

struct DeckHistory;

enum class TextEncoding { Windows1252, Utf8 };

// Exact, case-sensitive equality of two texts. Texts that share their
// characters decide at once; otherwise a plain memory compare, without the
// general string comparison's call and case handling.
inline bool sameText(const QString &a, const QString &b)
{
    const qsizetype n = a.size();
    if (n != b.size())
        return false;
    const QChar *pa = a.constData();
    const QChar *pb = b.constData();
    return pa == pb || std::memcmp(pa, pb, size_t(n) * sizeof(QChar)) == 0;
}

// Everything the program knows about the open card file: the cards of the
// file in file order, each with its category; the view, a copy of the open
// category's cards that the card commands edit; the marks, the deleted
// cards, the copy memory and the category tree. WriteBackView folds the view
// back into the file-level cards.
//
// A card names its category by text. The deck keeps each distinct name once
// and gives a card the name's number, so scans of a category compare
// numbers and a million cards carry no per-card category text.
//
// The store size (capacity) bounds the file-level cards and the view each:
// an add beyond it is refused and changes nothing. Operations on cards that
// are already in the deck (write-back, moves, deletion, undelete lists)
// never refuse, so no card is ever lost or half-added.
class Deck {
public:
    static constexpr int kDefaultCapacity = 50'000'000;

    Deck();

    // ---- What the deck is now (read by everyone; changed only through the
    // operations below) ----
    const MarkList &marks() const { return marks_; } // the marks of the view
    const CategoryTree &tree() const { return tree_; }
    // The open category: the one whose cards the view holds.
    const QString &oldTreeName() const { return oldTreeName_; }
    bool showSubCategories() const { return showSubCategories_; }
    // The current card (a view index, 0 for an empty view) and the side shown.
    int placeseek() const { return placeseek_; }
    int side() const { return side_; }
    // The deck has changes that are not in its card file; every operation
    // that changes a card or a category sets this itself.
    bool changed() const { return changed_; }
    // The deck has a card file on disk (loaded, or saved at least once).
    bool hasBeenSaved() const { return saved_; }
    // How the open file was encoded; a save writes it back the same way.
    TextEncoding encoding() const { return encoding_; }

    // Revisions: the view's grows whenever what the card display shows may
    // have changed (the view, the current card, the side, the marks), the
    // tree's whenever a category is added, renamed, removed or selected.
    // The window redraws what moved after each command.
    quint64 viewRevision() const { return viewRevision_; }
    quint64 treeRevision() const { return treeRevision_; }

    // ---- The current card and the marks ----
    void setCurrentCard(int placeseek, int side);
    void setSide(int side);
    // Appends a mark; false when it is already there.
    bool addMark(int viewIndex);
    void clearMarks();

    // ---- The file behind the deck ----
    // After a load or a save: nothing unsaved, and a file on disk.
    void markSaved();
    // The user let the changes go (the save question answered No before the
    // deck is replaced or the program ends): nothing counts as unsaved.
    void forgetChanges();
    // An earlier version of the file was read in its place: it differs from
    // the file on disk until saved.
    void markRestored();
    // A recovery copy was just read in place of the file: its changes are
    // unsaved again, and it has a file only when it was a saved deck's.
    void markRecovered(bool hasFile);
    void setEncoding(TextEncoding encoding) { encoding_ = encoding; }

    // ---- Undo and redo ----
    // With the history on, every change made through the operations below is
    // recorded. Changes between beginStep and endStep form one step when
    // they changed a card or a category; moves between categories, the
    // current card and the marks outside steps are undone along with the
    // step before them. Undo puts back exactly the state before the last
    // step, redo the state after it. A load (clear) empties the history.
    void setHistoryEnabled(bool on);
    bool historyEnabled() const;
    void beginStep(const QString &label);
    // Names the open step (when one command makes several kinds of change).
    void setStepLabel(const QString &label);
    // Ends the open step when it changed something and begins another of
    // the same name (each card of a dialog that adds several).
    void nextStep();
    void endStep();
    bool canUndo() const;
    bool canRedo() const;
    QString undoLabel() const; // the step undo would take back, or empty
    QString redoLabel() const;
    bool undo();
    bool redo();
    void clearHistory();
    int undoSteps() const;
    // About how many bytes the history holds beyond the deck itself.
    size_t historyBytes() const;
    // The history keeps at most this many steps and, beyond the newest
    // step, at most this many bytes: the oldest steps go first.
    static constexpr int kHistorySteps = 256;
    static constexpr size_t kHistoryBytes = size_t(128) << 20;
    void setHistoryLimits(int steps, size_t bytes);
    // Reading a file into the deck is no step: nothing is recorded while
    // one of these lives.
    class Unrecorded {
    public:
        explicit Unrecorded(Deck &deck) : deck_(deck), was_(deck.history_.recording)
        {
            deck.history_.recording = false;
        }
        ~Unrecorded() { deck_.history_.recording = was_; }
        Unrecorded(const Unrecorded &) = delete;
        Unrecorded &operator=(const Unrecorded &) = delete;

    private:
        Deck &deck_;
        bool was_;
    };

    // Adds a category below parent and returns it.
    CategoryTree::NodeId addCategory(CategoryTree::NodeId parent, const QString &name);
    // Makes node the selected category (opening it is OpenCategory's work).
    void selectCategory(CategoryTree::NodeId node);
    // Renames a category below "Main": the tree, every card of the
    // category and, when it is open, the open category. When cards of the
    // new name were already in the file (orphans), they join the view in
    // front of the open cards, and the marks and the current card follow
    // their cards.
    void renameCategory(CategoryTree::NodeId node, const QString &name);
    // Deletes a category below "Main" with its sub-categories: the next
    // sibling (else the parent) is selected and opened, and every card of
    // a category no longer in the tree goes. Returns the new selection.
    CategoryTree::NodeId deleteCategory(CategoryTree::NodeId node);

    void setCapacity(int capacity) { capacity_ = capacity; }
    int capacity() const { return capacity_; }

    // The empty deck: no cards, only "Main", nothing saved yet and nothing
    // changed. The store size stays.
    void clear();

    int viewCount() const { return int(view_.size()); }
    int fileCount() const { return int(file_.size()); }
    int deletedCount() const { return int(deleted_.size()); }
    // Read access to view card k, file card j and deleted card u.
    const QString &viewSide1(int k) const { return view_[size_t(k)].side1; }
    const QString &viewSide2(int k) const { return view_[size_t(k)].side2; }
    const QString &fileSide1(int j) const { return file_[size_t(j)].side1; }
    const QString &fileSide2(int j) const { return file_[size_t(j)].side2; }
    const QString &fileCategory(int j) const { return names_[size_t(fileCat_[size_t(j)])]; }
    const QString &deletedSide1(int u) const { return deleted_.at(size_t(u)).side1; }
    const QString &deletedSide2(int u) const { return deleted_.at(size_t(u)).side2; }
    // Neither a card in view nor a category besides "Main".
    bool isBlank() const { return viewCount() == 0 && tree_.nodeCount() <= 1; }

    // Calls visit(j) for every file-level card j of the category, ascending.
    // The cards must not change during the walk.
    template <typename Visitor>
    void ForEachCardOfCategory(const QString &name, Visitor &&visit) const
    {
        const int id = findName(name);
        if (id < 0)
            return;
        for (size_t j = 0; j < fileCat_.size(); ++j)
            if (fileCat_[j] == id)
                visit(int(j));
    }

    // For each node, its file-level cards in ascending order.
    std::vector<std::vector<int>> cardsOfCategories(const std::vector<CategoryTree::NodeId> &nodes) const;

    // Moves the open category's cards, as the view holds them, to the end of
    // the file-level cards; the view stays. Never done in subcategory mode.
    void WriteBackView();
    // Fills the view with the category's cards in file order and makes it
    // the open category; no write-back.
    void LoadView(const QString &name);
    void LoadViewWithSubcategories(CategoryTree::NodeId node);
    // Makes the tree's selected category the open one.
    void OpenCategory();
    void ToggleSubcategoryMode();
    // Removes view card p into the deleted cards and renumbers the marks.
    void RemoveViewCard(int p);
    // The data part of showing no card after a view rebuild.
    void ResetCurrentCard();

    // --- Card commands. Each that changes a card sets the changed state;
    // they leave placeseek and side to the command that calls them.

    // Appends a card to the view (add, add another); false when the view is
    // at the store size, and nothing is added.
    bool appendViewCard(const QString &side1, const QString &side2);
    // Inserts a card so that it becomes view card k (paste; k == viewCount()
    // appends); marks on k and above move up with their cards. False when
    // the view is at the store size or k is out of range.
    bool insertViewCard(int k, const QString &side1, const QString &side2);
    // Replaces the texts of view card k (edit): position and mark stay.
    bool replaceViewCard(int k, const QString &side1, const QString &side2);
    // Removes view card k without keeping it for undelete (cut), handing
    // its texts out; renumbers the marks.
    bool takeViewCard(int k, QString &side1, QString &side2);

    // Moves view card k to the end of the file-level cards under
    // destination and renumbers the marks.
    bool moveViewCard(int k, const QString &destination);
    // Folds the view back, gives all of the open category's cards to
    // destination in place (they are then the last cards of the file, after
    // destination's own), and empties the view and the marks.
    void moveAllViewCards(const QString &destination);
    // Renames the category of every file-level card named from, in place,
    // and the open category if it is from (the tree is renameCategory's).
    void relabelCategory(const QString &from, const QString &to);
    // Removes every file-level card whose category is not in the tree (after
    // a category was deleted). Those cards cannot be undeleted. Returns how
    // many were removed.
    int removeCardsOutsideTree();

    // Clears the open category: the view's cards go to the deleted cards in
    // view order; the view and the marks are emptied.
    void clearViewToDeleted();
    // Appends deleted card u to the view, whatever category it came from,
    // and clears the marks. False when u is out of range or the view is at
    // the store size; the deleted card then stays.
    bool undeleteCard(int u);
    // Undeletes the oldest deleted cards first until none is left or the
    // view is full; clears the marks. False when cards were left behind.
    bool undeleteAll();

    // Appends a card to the file-level cards (reading, inserting a file);
    // false when they are at the store size. A load marks the deck saved
    // when it is done.
    bool appendFileCard(const QString &side1, const QString &side2, const QString &category);
    // Reserves room for more file-level cards, up to the store size.
    void reserveFileCards(int more);

    // Reorders the view: view card k becomes the card that was at
    // order[k]. order must be a permutation of the view's indexes; returns
    // false and changes nothing otherwise. Clears the marks; the deck counts
    // as changed even when the order stays (a shuffle or a duplicate search
    // was run on it).
    bool permuteView(const std::vector<int> &order);
    // Swaps side 1 and side 2 of every view card.
    void flipViewSides();

    // Told of every change of a card's text made here (edit, and its undo
    // and redo), before and after: what was learnt of a card follows it.
    using TextListener = std::function<void(const QString &side1Before, const QString &side2Before,
                                            const QString &side1After, const QString &side2After)>;
    // It belongs to this deck object, not to its contents: a copy starts
    // without one, and a deck assigned to this one keeps this one's.
    void setTextListener(TextListener listener) { textListener_.listener = std::move(listener); }

    // Drops the characters that would break a card file (the field
    // terminator 0x07 and NUL) from a text about to enter the deck.
    static QString cleanText(const QString &text);

private:
    friend struct DeckHistory;

    struct Card {
        QString side1, side2;
    };

    // What the view is a copy of, when that is known: replacing the view
    // can then be undone by copying it again instead of keeping its cards.
    struct ViewSource {
        enum Kind { Other, Empty, Mirror, Category, Composite } kind = Empty;
        ViewSource() = default;
        ViewSource(Kind kind, int at = 0, int count = 0) : kind(kind), at(at), count(count) {}
        int at = 0; // Mirror: its first file card; Category: the name number; Composite: the node
        int count = 0; // Mirror: how many cards
        // In subcategory mode the view may be shuffled and flipped: view
        // card k is then the source's card (*order)[k], sides swapped when
        // flipped. Shared, so that the history's copies cost a handle.
        std::shared_ptr<const std::vector<int>> order;
        bool flipped = false;
    };

    // Cards in order, held in chunks of at most kChunk cards: taking one
    // out anywhere moves at most one chunk's cards, and growing never moves
    // a card. Finding card u walks the chunks, which is cheap for the few
    // cards a dialog shows at a time.
    class CardChunks {
    public:
        size_t size() const { return size_; }
        bool empty() const { return size_ == 0; }
        const Card &at(size_t u) const;
        Card &at(size_t u);
        void push_back(Card &&card);
        Card pop_back();
        void erase(size_t u);
        void insert(size_t u, Card &&card);
        // Moves the first n cards to the end of out.
        void takeFront(size_t n, std::deque<Card> &out);
        // Moves the last n cards of from to the front, in their order.
        void putFront(std::deque<Card> &from, size_t n);
        // Moves the last n cards to the end of out, in their order.
        void takeBack(size_t n, std::deque<Card> &out);
        void clear();

    private:
        static constexpr size_t kChunk = 4096;
        // The chunk holding card u, and u's place in it.
        std::pair<size_t, size_t> find(size_t u) const;

        std::vector<std::vector<Card>> chunks_;
        size_t size_ = 0;
    };

    // The number of a category name, or -1 when no card was ever given it.
    int findName(const QString &name) const { return nameIds_.value(name, -1); }
    // The number of a category name, adding the name when it is new.
    int nameId(const QString &name);
    // Replaces the view with the given file-level cards.
    void loadViewFrom(const std::vector<int> &cards);
    // The history records only when it is on and not itself replaying.
    bool recording() const { return history_.recording; }
    template <class Entry>
    void record(Entry &&entry);
    // The one path of a change that has an entry: the entry makes the
    // change, then the history keeps it.
    template <class Entry>
    void act(Entry &&entry);
    void placeReached();
    void viewEdited() { viewSource_.kind = ViewSource::Other; }
    // Replaces the view by a copy of what source names and makes name the
    // open category; the one way a load changes the view.
    void replaceView(ViewSource source, const QString &name, const std::vector<int> *cards = nullptr);
    void copyViewFrom(ViewSource source);
    void textChanged(const Card &before, const Card &after) const
    {
        if (textListener_.listener)
            textListener_.listener(before.side1, before.side2, after.side1, after.side2);
    }
    void viewTouched() { ++viewRevision_; }
    void treeTouched() { ++treeRevision_; }
    void cardsChanged()
    {
        changed_ = true;
        ++viewRevision_;
    }

    // Folds the view back. With nextId >= 0 the view is about to be replaced
    // by that category's cards: its texts are moved, not copied, and the
    // same pass notes where that category's cards end up.
    void foldViewBack(int nextId = -1, std::vector<int> *nextCards = nullptr);

    std::vector<Card> file_;
    std::vector<int> fileCat_; // the name number of each file-level card
    // A deque: removing or inserting a card moves only the shorter side,
    // and growing never moves a card, so no single command on a million
    // cards copies them all at once.
    std::deque<Card> view_;
    CardChunks deleted_; // oldest first
    // Category names by number; a deque so that references stay valid when
    // names are added.
    std::deque<QString> names_;
    QHash<QString, int> nameIds_;
    int capacity_ = kDefaultCapacity;

    MarkList marks_;
    CategoryTree tree_;
    QString oldTreeName_ = CategoryTree::kMainName;
    bool showSubCategories_ = false;
    int placeseek_ = 0;
    int side_ = 0;
    bool changed_ = false;
    bool saved_ = false;
    TextEncoding encoding_ = TextEncoding::Windows1252;
    quint64 viewRevision_ = 0;
    quint64 treeRevision_ = 0;
    ViewSource viewSource_;
    struct ListenerSlot {
        TextListener listener;
        ListenerSlot() = default;
        ListenerSlot(const ListenerSlot &) noexcept {}
        ListenerSlot &operator=(const ListenerSlot &) noexcept { return *this; }
    };
    ListenerSlot textListener_;

    // The history belongs to one deck: a copy of the deck starts without.
    class HistoryHandle {
    public:
        HistoryHandle();
        ~HistoryHandle();
        HistoryHandle(const HistoryHandle &);
        HistoryHandle &operator=(const HistoryHandle &);
        HistoryHandle(HistoryHandle &&) noexcept;
        HistoryHandle &operator=(HistoryHandle &&) noexcept;
        DeckHistory &operator*() const { return *history_; }
        DeckHistory *operator->() const { return history_.get(); }
        bool recording = false;

    private:
        std::unique_ptr<DeckHistory> history_;
    };
    HistoryHandle history_;
};

} // namespace mdk
