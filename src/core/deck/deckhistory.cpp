#include "deckhistory.h"

#include <algorithm>

namespace mdk {

namespace {

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

size_t textBytes(const QString &text)
{
    // Counted whole even while the deck shares it: the count of a step
    // must not change when the deck lets go of its copy later, or the
    // history could outgrow its bound unseen. Its length, not its
    // capacity: a text read from a file may sit in a block shared with
    // thousands of others.
    return sizeof(QString) + size_t(text.size()) * sizeof(QChar);
}

size_t cardBytes(const DeckHistory::Card &card)
{
    return textBytes(card.side1) + textBytes(card.side2);
}


// Makes room for added more file cards among the present ones, walking
// from the back: place(j) fills position j when an added card belongs there
// (true), else the next present card moves to j. Every card moves once, and
// the front below the first added card is not touched.
template <class Place>
void spreadOut(std::vector<DeckHistory::Card> &file, std::vector<int> &cats, size_t added, Place place)
{
    size_t from = file.size();
    file.resize(from + added);
    cats.resize(from + added);
    for (size_t j = file.size(); j > from;) {
        --j;
        if (!place(j)) {
            --from;
            file[j] = std::move(file[from]);
            cats[j] = cats[from];
        }
    }
}

// Changes made outside any step (a window that applies its own input, say)
// become a step of their own before anything else happens.
const QString kUnnamedStep = QStringLiteral("Change");

} // namespace

// ---- The deck's side: recording, steps, undo and redo ----

void Deck::markSaved()
{
    changed_ = false;
    saved_ = true;
    DeckHistory &h = *history_;
    if (h.depth == 0 && h.pending.changesContent)
        DeckHistory::commitPending(*this);
    h.saved = h.applied;
}

void Deck::forgetChanges()
{
    changed_ = false;
    history_->saved = history_->applied;
}

void Deck::markRestored()
{
    changed_ = true;
    history_->saved = -1;
}

void Deck::markRecovered(bool hasFile)
{
    changed_ = true;
    saved_ = hasFile;
    history_->saved = -1;
}

void Deck::setHistoryEnabled(bool on)
{
    clearHistory();
    history_->enabled = on;
    history_.recording = on;
}

bool Deck::historyEnabled() const
{
    return history_->enabled;
}

void Deck::clearHistory()
{
    DeckHistory &h = *history_;
    const bool enabled = h.enabled;
    const int maxSteps = h.maxSteps;
    const size_t maxBytes = h.maxBytes;
    h = DeckHistory();
    h.enabled = enabled;
    h.maxSteps = maxSteps;
    h.maxBytes = maxBytes;
    h.saved = changed_ ? -1 : 0;
    h.pending.before = DeckHistory::scalarsOf(*this);
}

void Deck::beginStep(const QString &label)
{
    DeckHistory &h = *history_;
    if (h.depth++ > 0)
        return;
    if (h.pending.changesContent)
        DeckHistory::commitPending(*this);
    h.label = label;
    h.stepGlue = std::move(h.pending);
    h.stepGlue.after = DeckHistory::scalarsOf(*this);
    h.body = DeckHistory::Segment();
    h.body.before = h.stepGlue.after;
    h.pending = DeckHistory::Segment();
}

void Deck::setStepLabel(const QString &label)
{
    if (history_->depth > 0)
        history_->label = label;
}

void Deck::nextStep()
{
    DeckHistory &h = *history_;
    if (h.depth != 1 || !h.body.changesContent)
        return;
    const QString label = h.label;
    endStep();
    beginStep(label);
}

void Deck::endStep()
{
    DeckHistory &h = *history_;
    if (h.depth == 0 || --h.depth > 0)
        return;
    if (!h.body.changesContent) {
        // Nothing to undo of its own: its moves join the glue.
        h.pending = std::move(h.stepGlue);
        h.pending.entries.insert(h.pending.entries.end(), std::make_move_iterator(h.body.entries.begin()),
                                 std::make_move_iterator(h.body.entries.end()));
        h.body = DeckHistory::Segment();
        // The moves count against the bound like the steps they join.
        DeckHistory::trim(h);
        return;
    }
    h.body.after = DeckHistory::scalarsOf(*this);
    DeckHistory::commit(*this, std::move(h.label), std::move(h.stepGlue), std::move(h.body));
}

void DeckHistory::commitPending(Deck &deck)
{
    DeckHistory &h = *deck.history_;
    Segment glue;
    glue.before = glue.after = h.pending.before;
    h.pending.after = scalarsOf(deck);
    Segment body = std::move(h.pending);
    commit(deck, kUnnamedStep, std::move(glue), std::move(body));
}

void DeckHistory::commit(Deck &deck, QString label, Segment glue, Segment body)
{
    DeckHistory &h = *deck.history_;
    const size_t applied = size_t(h.applied);
    if (h.nextGlueApplied && applied < h.steps.size()) {
        // The glue of the undone step is still in effect: it comes first.
        Segment earlier = std::move(h.steps[applied].glue);
        earlier.entries.insert(earlier.entries.end(), std::make_move_iterator(glue.entries.begin()),
                               std::make_move_iterator(glue.entries.end()));
        earlier.after = glue.after;
        glue = std::move(earlier);
    }
    for (size_t i = applied; i < h.steps.size(); ++i)
        h.stepBytes -= h.steps[i].bytes;
    h.steps.resize(applied);
    if (h.saved > h.applied)
        h.saved = -1;
    h.steps.push_back({std::move(label), std::move(glue), std::move(body)});
    recount(h, h.steps.back());
    ++h.applied;
    h.nextGlueApplied = false;
    h.body = Segment();
    h.label.clear();
    h.pending = Segment();
    h.pending.before = scalarsOf(deck);
    trim(h);
}

bool Deck::canUndo() const
{
    const DeckHistory &h = *history_;
    return h.depth == 0 && (h.applied > 0 || h.pending.changesContent);
}

bool Deck::canRedo() const
{
    const DeckHistory &h = *history_;
    return h.depth == 0 && !h.pending.changesContent && size_t(h.applied) < h.steps.size();
}

QString Deck::undoLabel() const
{
    const DeckHistory &h = *history_;
    if (!canUndo())
        return {};
    return h.pending.changesContent ? kUnnamedStep : h.steps[size_t(h.applied) - 1].label;
}

QString Deck::redoLabel() const
{
    return canRedo() ? history_->steps[size_t(history_->applied)].label : QString();
}

int Deck::undoSteps() const
{
    return history_->applied;
}

bool Deck::undo()
{
    DeckHistory &h = *history_;
    if (!canUndo())
        return false;
    if (h.pending.changesContent)
        DeckHistory::commitPending(*this);
    const size_t applied = size_t(h.applied);
    history_.recording = false;
    DeckHistory::turn(*this, h.pending);
    if (h.nextGlueApplied && applied < h.steps.size()) {
        DeckHistory::turn(*this, h.steps[applied].glue);
        DeckHistory::recount(h, h.steps[applied]);
    }
    DeckHistory::turn(*this, h.steps[applied - 1].body);
    DeckHistory::recount(h, h.steps[applied - 1]);
    --h.applied;
    h.nextGlueApplied = true;
    history_.recording = h.enabled;
    h.pending = DeckHistory::Segment();
    h.pending.before = DeckHistory::scalarsOf(*this);
    changed_ = h.applied != h.saved;
    viewTouched();
    treeTouched();
    return true;
}

// A redo takes back the undo: the step holds what the undo applied, and
// turning it applies their opposites, the step's own entries again.
bool Deck::redo()
{
    DeckHistory &h = *history_;
    if (!canRedo())
        return false;
    const size_t applied = size_t(h.applied);
    history_.recording = false;
    DeckHistory::turn(*this, h.pending);
    if (!h.nextGlueApplied)
        DeckHistory::turn(*this, h.steps[applied].glue);
    DeckHistory::turn(*this, h.steps[applied].body);
    DeckHistory::recount(h, h.steps[applied]);
    ++h.applied;
    h.nextGlueApplied = false;
    history_.recording = h.enabled;
    h.pending = DeckHistory::Segment();
    h.pending.before = DeckHistory::scalarsOf(*this);
    changed_ = h.applied != h.saved;
    viewTouched();
    treeTouched();
    return true;
}

size_t Deck::historyBytes() const
{
    const DeckHistory &h = *history_;
    return h.stepBytes + DeckHistory::bytes(h.pending) + DeckHistory::bytes(h.body) + DeckHistory::bytes(h.stepGlue);
}

void Deck::setHistoryLimits(int steps, size_t bytes)
{
    DeckHistory &h = *history_;
    h.maxSteps = std::max(1, steps);
    h.maxBytes = bytes;
    DeckHistory::trim(h);
}

void DeckHistory::recount(DeckHistory &h, Step &step)
{
    h.stepBytes -= step.bytes;
    step.bytes = sizeof(Step) + bytes(step.glue) + bytes(step.body);
    h.stepBytes += step.bytes;
}

void DeckHistory::trim(DeckHistory &h)
{
    // Only steps that are in effect go, so what can be redone stays whole;
    // the step just made is always kept, however large.
    while (h.applied > 1 && (int(h.steps.size()) > h.maxSteps || h.stepBytes + bytes(h.pending) > h.maxBytes)) {
        h.stepBytes -= h.steps.front().bytes;
        h.steps.erase(h.steps.begin());
        --h.applied;
        // The saved state was before the dropped step: no undo reaches it now.
        h.saved = h.saved > 0 ? h.saved - 1 : -1;
    }
}

// ---- The entries ----

quint64 DeckHistory::place(const Deck &deck)
{
    // 64-bit FNV-1a over the file's categories in order and what the view
    // is; one pass over a million ints takes about a millisecond, against
    // the tens a move costs.
    quint64 h = 0xcbf29ce484222325ull;
    const auto mix = [&h](quint64 v) {
        h ^= v;
        h *= 0x100000001b3ull;
    };
    mix(deck.fileCat_.size());
    for (int id : deck.fileCat_)
        mix(quint64(quint32(id)));
    mix(quint64(deck.view_.size()));
    mix(qHash(deck.oldTreeName_));
    mix(quint64(quint32(deck.tree_.selected())));
    mix(deck.showSubCategories_);
    mix(quint64(deck.viewSource_.kind) << 32 | quint32(deck.viewSource_.at));
    mix(quint64(quint32(deck.viewSource_.count)));
    mix(quint64(quintptr(deck.viewSource_.order.get())));
    mix(deck.viewSource_.flipped);
    return h;
}

DeckHistory::Scalars DeckHistory::scalarsOf(const Deck &deck)
{
    return {deck.placeseek_, deck.side_, deck.marks_.values(), deck.viewSource_};
}

void DeckHistory::restore(Deck &deck, const Scalars &scalars)
{
    deck.placeseek_ = scalars.placeseek;
    deck.side_ = scalars.side;
    deck.marks_.assign(scalars.marks);
    // Only in subcategory mode are all the file's cards current, so that
    // the view is known to be a copy of them; elsewhere the view counts as
    // edited.
    deck.viewSource_ = deck.showSubCategories_ ? scalars.source : ViewSource{ViewSource::Other};
}

void DeckHistory::turn(Deck &deck, Segment &segment)
{
    std::vector<Entry> opposites;
    opposites.reserve(segment.entries.size());
    for (auto it = segment.entries.rbegin(); it != segment.entries.rend(); ++it) {
        opposites.push_back(opposite(std::move(*it)));
        apply(deck, opposites.back(), true);
    }
    segment.entries = std::move(opposites);
    segment.places.clear();
    std::swap(segment.before, segment.after);
    restore(deck, segment.after);
}

size_t DeckHistory::bytes(const Segment &segment)
{
    size_t total = segment.entries.capacity() * sizeof(Entry) + segment.places.capacity() * sizeof(segment.places[0])
                   + (segment.before.marks.capacity() + segment.after.marks.capacity()) * sizeof(int);
    for (const Entry &entry : segment.entries)
        total += bytes(entry);
    return total;
}

size_t DeckHistory::bytes(const Entry &entry)
{
    const auto cards = [](const std::vector<Card> &list) {
        size_t total = list.capacity() * sizeof(Card);
        for (const Card &card : list)
            total += cardBytes(card) - 2 * sizeof(QString);
        return total;
    };
    return std::visit(
        Overloaded{
            [](const ViewInsert &e) { return cardBytes(e.card); },
            [](const ViewTake &e) { return cardBytes(e.card); },
            [](const ViewReplace &e) { return cardBytes(e.before) + cardBytes(e.after); },
            [](const Relabel &e) { return e.cards.capacity() * sizeof(int); },
            [&](const RemoveCards &e) {
                return cards(e.cards) + (e.at.capacity() + e.categories.capacity()) * sizeof(int);
            },
            [&](const InsertCards &e) {
                return cards(e.cards) + (e.at.capacity() + e.categories.capacity()) * sizeof(int);
            },
            [&](const FileAppend &e) { return cards(e.cards) + e.categories.capacity() * sizeof(int); },
            [&](const FileTrim &e) { return cards(e.cards) + e.categories.capacity() * sizeof(int); },
            // The combined view's order that a shuffle there makes is as
            // large, and shared by the entries and edges that name it.
            [](const Permute &e) { return e.order.capacity() * sizeof(int) * (e.composed ? 2 : 1); },
            [](const Fold &e) { return e.stale.capacity() * sizeof(e.stale[0]); },
            [](const Unfold &e) { return e.stale.capacity() * sizeof(e.stale[0]); },
            [&](const Load &e) { return cards(e.beforeCards); },
            [&](const Unload &e) { return cards(e.beforeCards); },
            [](const AddNode &e) { return textBytes(e.name); },
            [](const DropNode &e) { return textBytes(e.name); },
            [](const RenameNode &e) { return textBytes(e.before) + textBytes(e.after); },
            [](const RemoveNode &e) { return e.before.bytes(); },
            [](const RestoreTree &e) { return e.before.bytes(); },
            [](const auto &) { return size_t(0); },
        },
        entry);
}

void DeckHistory::apply(Deck &deck, Entry &entry, bool keep)
{
    auto &view = deck.view_;
    auto &file = deck.file_;
    auto &cats = deck.fileCat_;
    std::visit(
        Overloaded{
            [&](ViewInsert &e) { view.insert(view.begin() + e.k, std::move(e.card)); },
            [&](ViewTake &e) {
                e.card = std::move(view[size_t(e.k)]);
                view.erase(view.begin() + e.k);
            },
            [&](ViewReplace &e) {
                deck.textChanged(e.before, e.after);
                view[size_t(e.k)] = e.after;
            },
            [&](ViewToDeleted &e) {
                for (int i = 0; i < e.count; ++i) {
                    deck.deleted_.push_back(std::move(view[size_t(e.k - i)]));
                    view.erase(view.begin() + (e.k - i));
                }
            },
            [&](DeletedToView &e) {
                for (int i = e.count; i-- > 0;)
                    view.insert(view.begin() + (e.k - i), deck.deleted_.pop_back());
            },
            [&](ViewToFile &e) {
                file.push_back(std::move(view[size_t(e.k)]));
                cats.push_back(e.category);
                view.erase(view.begin() + e.k);
            },
            [&](FileToView &e) {
                view.insert(view.begin() + e.k, std::move(file.back()));
                file.pop_back();
                cats.pop_back();
            },
            [&](MoveAll &e) {
                std::fill(cats.end() - e.n, cats.end(), e.to);
                if (e.toView)
                    view.assign(file.end() - e.n, file.end());
                else
                    view.clear();
            },
            [&](Relabel &e) {
                for (int j : e.cards)
                    cats[size_t(j)] = e.to;
                if (e.open)
                    deck.oldTreeName_ = e.toName;
            },
            [&](RemoveCards &e) {
                size_t out = 0, r = 0;
                for (size_t j = 0; j < file.size(); ++j) {
                    if (r < e.at.size() && size_t(e.at[r]) == j) {
                        ++r;
                        if (keep) {
                            e.cards.push_back(std::move(file[j]));
                            e.categories.push_back(cats[j]);
                        }
                        continue;
                    }
                    if (out != j) {
                        file[out] = std::move(file[j]);
                        cats[out] = cats[j];
                    }
                    ++out;
                }
                file.resize(out);
                cats.resize(out);
            },
            [&](InsertCards &e) {
                size_t r = e.at.size();
                spreadOut(file, cats, e.at.size(), [&](size_t j) {
                    if (r == 0 || size_t(e.at[r - 1]) != j)
                        return false;
                    --r;
                    file[j] = std::move(e.cards[r]);
                    cats[j] = e.categories[r];
                    return true;
                });
                e.cards = {};
                e.categories = {};
            },
            [&](ClearToDeleted &) {
                for (Card &card : view)
                    deck.deleted_.push_back(std::move(card));
                view.clear();
            },
            [&](DeletedBackToView &e) { deck.deleted_.takeBack(size_t(e.n), view); },
            [&](Undelete &e) {
                view.push_back(std::move(deck.deleted_.at(size_t(e.u))));
                deck.deleted_.erase(size_t(e.u));
            },
            [&](Redelete &e) {
                deck.deleted_.insert(size_t(e.u), std::move(view.back()));
                view.pop_back();
            },
            [&](UndeleteFront &e) { deck.deleted_.takeFront(size_t(e.n), view); },
            [&](RedeleteFront &e) { deck.deleted_.putFront(view, size_t(e.n)); },
            [&](FileAppend &e) {
                file.insert(file.end(), std::make_move_iterator(e.cards.begin()), std::make_move_iterator(e.cards.end()));
                cats.insert(cats.end(), e.categories.begin(), e.categories.end());
                e.cards = {};
                e.categories = {};
            },
            [&](FileTrim &e) {
                const auto from = std::ptrdiff_t(file.size()) - e.count;
                e.cards.assign(std::make_move_iterator(file.begin() + from), std::make_move_iterator(file.end()));
                e.categories.assign(cats.begin() + from, cats.end());
                file.resize(size_t(from));
                cats.resize(size_t(from));
            },
            [&](Permute &e) {
                if (!e.inverse) {
                    std::deque<Card> reordered;
                    for (int k : e.order)
                        reordered.push_back(std::move(view[size_t(k)]));
                    view = std::move(reordered);
                    return;
                }
                std::vector<Card> back(view.size());
                for (size_t k = 0; k < e.order.size(); ++k)
                    back[size_t(e.order[k])] = std::move(view[k]);
                view.assign(std::make_move_iterator(back.begin()), std::make_move_iterator(back.end()));
            },
            [&](Flip &) {
                for (Card &card : view)
                    card.side1.swap(card.side2);
            },
            [&](Fold &e) { fold(deck, e, keep); },
            [&](Unfold &e) {
                // The view's cards leave the end of the file (back into the
                // view when the fold emptied it); the stale cards return to
                // their places. Their texts are only ever read again once
                // the load that copied them is taken back, which puts the
                // view's texts back into them; until then they stay empty.
                const size_t kept = file.size() - size_t(e.n);
                if (e.moved)
                    view.assign(std::make_move_iterator(file.begin() + std::ptrdiff_t(kept)),
                                std::make_move_iterator(file.end()));
                file.resize(kept);
                cats.resize(kept);
                size_t staleCount = 0;
                for (const auto &run : e.stale)
                    staleCount += size_t(run.second);
                size_t r = e.stale.size();
                spreadOut(file, cats, staleCount, [&](size_t j) {
                    while (r > 0 && j < size_t(e.stale[r - 1].first))
                        --r;
                    if (r == 0 || j >= size_t(e.stale[r - 1].first + e.stale[r - 1].second))
                        return false;
                    file[j] = Card();
                    cats[j] = e.open;
                    return true;
                });
            },
            [&](Load &e) {
                // A view that is no copy of anything the deck still holds is
                // kept; it is replaced anyway, so its cards move.
                if (keep && e.before.kind == ViewSource::Other && !view.empty())
                    e.beforeCards.assign(std::make_move_iterator(view.begin()), std::make_move_iterator(view.end()));
                if (e.cards) {
                    view.clear();
                    for (int j : *e.cards)
                        view.push_back(file[size_t(j)]);
                    deck.viewSource_ = e.after;
                    e.cards = nullptr;
                } else {
                    deck.copyViewFrom(e.after);
                }
                deck.oldTreeName_ = e.afterName;
            },
            [&](Unload &e) {
                if (e.after.kind == ViewSource::Category && e.after.at >= 0) {
                    // The file's cards of the category are what the load
                    // copied, which the view holds again now.
                    size_t k = 0;
                    for (size_t j = 0; j < cats.size() && k < view.size(); ++j)
                        if (cats[j] == e.after.at)
                            file[j] = view[k++];
                }
                if (e.before.kind == ViewSource::Other) {
                    view.assign(std::make_move_iterator(e.beforeCards.begin()),
                                std::make_move_iterator(e.beforeCards.end()));
                    e.beforeCards = {};
                } else {
                    deck.copyViewFrom(e.before);
                }
                deck.oldTreeName_ = e.beforeName;
            },
            [&](AddNode &e) {
                e.previousLast = deck.tree_.lastInPreorder();
                e.newName = !deck.tree_.contains(e.name);
                e.id = deck.tree_.addChild(e.parent, e.name);
            },
            [&](DropNode &e) { deck.tree_.removeLastAdded(e.previousLast, e.newName); },
            [&](RenameNode &e) { deck.tree_.rename(e.node, e.after); },
            [&](RemoveNode &e) {
                if (keep)
                    e.before = deck.tree_;
                deck.tree_.setSelected(deck.tree_.removeSubtree(e.node, e.next));
            },
            [&](RestoreTree &e) { deck.tree_ = std::move(e.before); },
            [&](Select &e) { deck.tree_.setSelected(e.after); },
            [&](SubMode &e) { deck.showSubCategories_ = e.after; },
        },
        entry);
}

void DeckHistory::fold(Deck &deck, Fold &e, bool keep)
{
    // One pass drops the open category's stale cards, keeping every other
    // card in order; then the view is appended. The appends ignore the
    // store size: the view's cards are already in the deck, and refusing
    // them here would lose them.
    auto &file = deck.file_;
    auto &cats = deck.fileCat_;
    auto &view = deck.view_;
    deck.oldTreeName_ = deck.names_[size_t(e.open)];
    e.stale.clear();
    size_t out = 0;
    for (size_t j = 0; j < cats.size(); ++j) {
        const int id = cats[j];
        if (id == e.open) {
            if (keep) {
                if (!e.stale.empty() && size_t(e.stale.back().first + e.stale.back().second) == j)
                    ++e.stale.back().second;
                else
                    e.stale.emplace_back(int(j), 1);
            }
            continue;
        }
        if (id == e.next && e.nextCards)
            e.nextCards->push_back(int(out));
        if (out != j) {
            file[out] = std::move(file[j]);
            cats[out] = id;
        }
        ++out;
    }
    file.resize(out);
    cats.resize(out);

    e.n = int(view.size());
    if (e.moved) {
        if (e.open == e.next && e.nextCards)
            for (size_t k = 0; k < view.size(); ++k)
                e.nextCards->push_back(int(out + k));
        file.insert(file.end(), std::make_move_iterator(view.begin()), std::make_move_iterator(view.end()));
        view.clear();
        deck.viewSource_ = {};
    } else {
        file.insert(file.end(), view.begin(), view.end());
        deck.viewSource_ = {ViewSource::Mirror, int(out), e.n};
    }
    cats.insert(cats.end(), size_t(e.n), e.open);
    e.nextCards = nullptr;
}

DeckHistory::Entry DeckHistory::opposite(Entry &&entry)
{
    return std::visit(
        Overloaded{
            [](ViewInsert &e) -> Entry { return ViewTake{e.k}; },
            [](ViewTake &e) -> Entry { return ViewInsert{e.k, std::move(e.card)}; },
            [](ViewReplace &e) -> Entry { return ViewReplace{e.k, std::move(e.after), std::move(e.before)}; },
            [](ViewToDeleted &e) -> Entry { return DeletedToView{e.k, e.count}; },
            [](DeletedToView &e) -> Entry { return ViewToDeleted{e.k, e.count}; },
            [](ViewToFile &e) -> Entry { return FileToView{e.k, e.category}; },
            [](FileToView &e) -> Entry { return ViewToFile{e.k, e.category}; },
            [](MoveAll &e) -> Entry { return MoveAll{e.n, e.to, e.from, !e.toView}; },
            [](Relabel &e) -> Entry {
                return Relabel{std::move(e.cards), e.to, e.from, std::move(e.toName), std::move(e.fromName), e.open};
            },
            [](RemoveCards &e) -> Entry {
                return InsertCards{std::move(e.at), std::move(e.cards), std::move(e.categories)};
            },
            [](InsertCards &e) -> Entry { return RemoveCards{std::move(e.at)}; },
            [](ClearToDeleted &e) -> Entry { return DeletedBackToView{e.n}; },
            [](DeletedBackToView &e) -> Entry { return ClearToDeleted{e.n}; },
            [](Undelete &e) -> Entry { return Redelete{e.u}; },
            [](Redelete &e) -> Entry { return Undelete{e.u}; },
            [](UndeleteFront &e) -> Entry { return RedeleteFront{e.n}; },
            [](RedeleteFront &e) -> Entry { return UndeleteFront{e.n}; },
            [](FileAppend &e) -> Entry { return FileTrim{e.count}; },
            [](FileTrim &e) -> Entry { return FileAppend{e.count, std::move(e.cards), std::move(e.categories)}; },
            [](Permute &e) -> Entry { return Permute{std::move(e.order), e.composed, !e.inverse}; },
            [](Flip &) -> Entry { return Flip{}; },
            [](Fold &e) -> Entry { return Unfold{e.open, e.n, e.moved, std::move(e.stale)}; },
            [](Unfold &e) -> Entry { return Fold{e.open, e.n, e.moved}; },
            [](Load &e) -> Entry {
                return Unload{std::move(e.before), std::move(e.after), std::move(e.beforeCards),
                              std::move(e.beforeName), std::move(e.afterName)};
            },
            [](Unload &e) -> Entry {
                return Load{std::move(e.before), std::move(e.after), {}, std::move(e.beforeName),
                            std::move(e.afterName)};
            },
            [](AddNode &e) -> Entry { return DropNode{e.parent, std::move(e.name), e.previousLast, e.newName}; },
            [](DropNode &e) -> Entry { return AddNode{e.parent, std::move(e.name)}; },
            [](RenameNode &e) -> Entry { return RenameNode{e.node, std::move(e.after), std::move(e.before)}; },
            [](RemoveNode &e) -> Entry { return RestoreTree{std::move(e.before), e.node, e.next}; },
            [](RestoreTree &e) -> Entry { return RemoveNode{{}, e.node, e.next}; },
            [](Select &e) -> Entry { return Select{e.after, e.before}; },
            [](SubMode &e) -> Entry { return SubMode{e.after, e.before}; },
        },
        entry);
}

// ---- The deleted cards' chunks ----

Deck::Card Deck::CardChunks::pop_back()
{
    std::vector<Card> &last = chunks_.back();
    Card card = std::move(last.back());
    last.pop_back();
    if (last.empty())
        chunks_.pop_back();
    --size_;
    return card;
}

void Deck::CardChunks::insert(size_t u, Card &&card)
{
    if (u == size_) {
        push_back(std::move(card));
        return;
    }
    const auto [chunk, i] = find(u);
    std::vector<Card> &cards = chunks_[chunk];
    cards.insert(cards.begin() + std::ptrdiff_t(i), std::move(card));
    // A chunk may outgrow its size by the few cards undo puts back.
    ++size_;
}

void Deck::CardChunks::putFront(std::deque<Card> &from, size_t n)
{
    std::vector<std::vector<Card>> front;
    auto first = from.end() - std::ptrdiff_t(n);
    for (auto it = first; it != from.end();) {
        const auto end = it + std::ptrdiff_t(std::min<size_t>(kChunk, size_t(from.end() - it)));
        front.emplace_back(std::make_move_iterator(it), std::make_move_iterator(end));
        it = end;
    }
    from.erase(first, from.end());
    chunks_.insert(chunks_.begin(), std::make_move_iterator(front.begin()), std::make_move_iterator(front.end()));
    size_ += n;
}

void Deck::CardChunks::takeBack(size_t n, std::deque<Card> &out)
{
    std::deque<Card> taken;
    for (size_t i = 0; i < n; ++i)
        taken.push_front(pop_back());
    out.insert(out.end(), std::make_move_iterator(taken.begin()), std::make_move_iterator(taken.end()));
}

} // namespace mdk
