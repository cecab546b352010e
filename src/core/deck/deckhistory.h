#pragma once

// The undo history of a Deck: its entries and steps. Only the deck and its
// history code include this.

#include "deck.h"

#include <variant>

namespace mdk {

struct DeckHistory {
    using Card = Deck::Card;
    using ViewSource = Deck::ViewSource;

    // Each entry is one change of the deck's lists, with what it takes to
    // make it again (apply) and to take it back (revert) exactly. Entries
    // keep cards only where the change removed them from the deck.
    struct ViewInsert { int k; Card card; };           // add, add another, paste, undelete into place
    struct ViewTake { int k; Card card; };             // cut
    struct ViewReplace { int k; Card before, after; }; // edit
    // Delete: count cards, at k, then k - 1 and so on (a duplicate search
    // removes the view's last cards one after another).
    struct ViewToDeleted { int k; int count = 1; };
    struct ViewToFile { int k; int category; };        // move one card
    struct MoveAll { int n; int from, to; };           // move all cards (after a write-back)
    struct Relabel { std::vector<int> cards; int from, to; QString fromName, toName; bool open; };
    struct RemoveCards { std::vector<int> at; std::vector<Card> cards; std::vector<int> categories; };
    struct ClearToDeleted { int n; };
    struct Undelete { int u; };
    struct UndeleteFront { int n; };
    // Cards appended to the file (reading in, Paste from, import). While the
    // step is in effect the deck holds them and the entry only counts them;
    // an undo moves them here, a redo back.
    struct FileAppend { int count = 0; std::vector<Card> cards; std::vector<int> categories; };
    struct Permute { std::vector<int> order; bool composed = false; }; // composed: in subcategory mode
    struct Flip {};
    // A write-back: the open category's stale cards (at the runs given as
    // first position and count) leave and the view's n cards are appended;
    // moved: the view was emptied into them (a category change).
    struct Fold { int open; int n; bool moved; std::vector<std::pair<int, int>> stale; };
    struct Load { ViewSource before, after; std::vector<Card> beforeCards; QString beforeName, afterName; };
    // A category added as the last node (its undo removes that node again;
    // nothing else of the tree is kept), renamed, or removed with its
    // subtree (the tree as it was, once).
    struct AddNode { int parent; QString name; int id = -1; int previousLast = 0; bool newName = true; };
    struct RenameNode { int node; QString before, after; };
    struct RemoveNode { CategoryTree before; int node; int next; };
    struct Select { int before, after; };
    struct SubMode { bool before, after; };

    using Entry = std::variant<ViewInsert, ViewTake, ViewReplace, ViewToDeleted, ViewToFile, MoveAll, Relabel,
                               RemoveCards, ClearToDeleted, Undelete, UndeleteFront, FileAppend, Permute, Flip,
                               Fold, Load, AddNode, RenameNode, RemoveNode, Select, SubMode>;

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
    static void apply(Deck &deck, Entry &entry);
    static void revert(Deck &deck, Entry &entry);
    static void applySegment(Deck &deck, Segment &segment);
    static void revertSegment(Deck &deck, Segment &segment);
};

} // namespace mdk
