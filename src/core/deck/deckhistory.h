#pragma once

// The undo history of a Deck: its entries and steps. Only the deck and its
// history code include this.

#include "deck.h"

#include <variant>

namespace mdk {

struct DeckHistory {
    using Card = Deck::Card;
    using ViewSource = Deck::ViewSource;

    // Each entry is one change of the deck's lists. Applying it makes the
    // change and fills in what the change took from the deck; its opposite,
    // built from it afterwards, takes the change back exactly. Undo applies
    // the opposites and keeps them, so a redo is one more undo of those.
    // Entries keep cards only where the change removed them from the deck.
    struct ViewInsert { int k; Card card; };           // add, paste, undelete into place; the card moves in
    struct ViewTake { int k; Card card = {}; };        // cut; the card moves out
    struct ViewReplace { int k; Card before, after; }; // edit
    // Delete: count cards, at k, then k - 1 and so on (a duplicate search
    // removes the view's last cards one after another).
    struct ViewToDeleted { int k; int count = 1; };
    struct DeletedToView { int k; int count; };
    struct ViewToFile { int k; int category; };        // move one card
    struct FileToView { int k; int category; };
    // Move all cards (after a write-back): the last n file cards go from
    // one category to the other; the view is emptied, or filled with them.
    struct MoveAll { int n; int from, to; bool toView = false; };
    struct Relabel { std::vector<int> cards; int from, to; QString fromName, toName; bool open; };
    // Cards outside the tree leave the file (at: their places in order)
    // and come back.
    struct RemoveCards { std::vector<int> at; std::vector<Card> cards = {}; std::vector<int> categories = {}; };
    struct InsertCards { std::vector<int> at; std::vector<Card> cards; std::vector<int> categories; };
    struct ClearToDeleted { int n; };
    struct DeletedBackToView { int n; };
    struct Undelete { int u; };
    struct Redelete { int u; };
    struct UndeleteFront { int n; };
    struct RedeleteFront { int n; };
    // Cards appended to the file (reading in, Paste from, import). While the
    // step is in effect the deck holds them and the entry only counts them;
    // an undo moves them into the opposite, a redo back.
    struct FileAppend { int count = 0; std::vector<Card> cards; std::vector<int> categories; };
    struct FileTrim { int count; std::vector<Card> cards = {}; std::vector<int> categories = {}; };
    // composed: in subcategory mode; inverse: takes the order back.
    struct Permute { std::vector<int> order; bool composed = false; bool inverse = false; };
    struct Flip {};
    // A write-back: the open category's stale cards (at the runs given as
    // first position and count) leave and the view's n cards are appended;
    // moved: the view was emptied into them (a category change). A load
    // about to follow may ask (next, nextCards) where category next's cards
    // end up; those two serve only the pass that makes them.
    struct Fold {
        int open;
        int n = 0;
        bool moved = false;
        std::vector<std::pair<int, int>> stale = {};
        int next = -1;
        std::vector<int> *nextCards = nullptr;
    };
    struct Unfold { int open; int n; bool moved; std::vector<std::pair<int, int>> stale; };
    // A view load. The view before is kept only when it is no copy of
    // anything the deck still holds. cards: the file cards to copy, when
    // the caller already knows them (only while it is applied).
    struct Load {
        ViewSource before, after;
        std::vector<Card> beforeCards;
        QString beforeName, afterName;
        const std::vector<int> *cards = nullptr;
    };
    struct Unload { ViewSource before, after; std::vector<Card> beforeCards; QString beforeName, afterName; };
    // A category added as the last node (its undo removes that node again;
    // nothing else of the tree is kept), renamed, or removed with its
    // subtree (the tree as it was, once, only while the removal is in effect).
    struct AddNode { int parent; QString name; int id = -1; int previousLast = 0; bool newName = true; };
    struct DropNode { int parent; QString name; int previousLast; bool newName; };
    struct RenameNode { int node; QString before, after; };
    struct RemoveNode { CategoryTree before; int node; int next; };
    struct RestoreTree { CategoryTree before; int node; int next; };
    struct Select { int before, after; };
    struct SubMode { bool before, after; };

    using Entry = std::variant<ViewInsert, ViewTake, ViewReplace, ViewToDeleted, DeletedToView, ViewToFile, FileToView,
                               MoveAll, Relabel, RemoveCards, InsertCards, ClearToDeleted, DeletedBackToView, Undelete,
                               Redelete, UndeleteFront, RedeleteFront, FileAppend, FileTrim, Permute, Flip, Fold,
                               Unfold, Load, Unload, AddNode, DropNode, RenameNode, RemoveNode, RestoreTree, Select,
                               SubMode>;

    // What no entry covers: the current card, the side and the marks; and
    // what the view is a copy of, which in subcategory mode lets a later
    // load be undone by copying again rather than keeping the view.
    struct Scalars {
        int placeseek = 0;
        int side = 0;
        std::vector<int> marks;
        ViewSource source;
    };

    // Entries with the scalars before and after them.
    struct Segment {
        std::vector<Entry> entries;
        Scalars before, after;
        bool changesContent = false; // a card or a category changed
        // Moves only: where each view load left the deck (a digest of the
        // file's layout and the open view) and how many entries led there.
        std::vector<std::pair<quint64, size_t>> places;
    };

    // A step: the moves between categories since the step before it
    // (glue), then its own changes (body).
    struct Step {
        QString label;
        Segment glue, body;
        size_t bytes = 0; // what glue and body hold, counted when they last changed
    };

    bool enabled = false;
    std::vector<Step> steps;
    int applied = 0;          // steps[0, applied) are in effect
    int saved = 0;            // the step count the file on disk matches; -1: none reachable
    bool nextGlueApplied = false; // steps[applied].glue is in effect (the state came from an undo)
    Segment pending;          // changes since the last step, undo or redo
    int depth = 0;            // beginStep nesting
    Segment body;             // the open step's changes
    QString label;            // the open step's name
    Segment stepGlue;         // pending, as it was when the open step began
    int maxSteps = Deck::kHistorySteps;
    size_t maxBytes = Deck::kHistoryBytes;
    size_t stepBytes = 0;     // the sum of steps[].bytes

    // Moves between categories are not changes of their own: they are undone
    // with the step before them.
    template <class E>
    static constexpr bool kIsContent = !std::is_same_v<E, Fold> && !std::is_same_v<E, Load>
                                       && !std::is_same_v<E, Select> && !std::is_same_v<E, SubMode>;
    static size_t bytes(const Entry &entry);
    static size_t bytes(const Segment &segment);

    static Scalars scalarsOf(const Deck &deck);
    // The digest of where the deck stands after a view load.
    static quint64 place(const Deck &deck);
    // Makes the changes recorded outside any step a step of their own.
    static void commitPending(Deck &deck);
    static void commit(Deck &deck, QString label, Segment glue, Segment body);
    static void restore(Deck &deck, const Scalars &scalars);
    // Counts a step's bytes again after its entries changed.
    static void recount(DeckHistory &h, Step &step);
    // Drops the oldest steps beyond the limits, always keeping the newest.
    static void trim(DeckHistory &h);
    // Makes the change. keep: the opposite will be built, so what the
    // change takes from the deck is kept in the entry.
    static void apply(Deck &deck, Entry &entry, bool keep);
    // The entry that takes back an applied entry (taking its contents).
    static Entry opposite(Entry &&entry);
    // A write-back, the pass that makes it.
    static void fold(Deck &deck, Fold &e, bool keep);
    // Takes back a segment in effect by applying the opposites of its
    // entries, newest first; the segment becomes those opposites, which
    // take the undo back in turn.
    static void turn(Deck &deck, Segment &segment);
};

} // namespace mdk
