#pragma once

#include "core/deck/deck.h"

#include <QString>

// The category commands' rules on the deck: New, Rename, Delete, Clear and
// the Move dialog's OK. The dialogs only gather a name or a destination;
// every change of the tree and the cards goes through here.
namespace mdk::category {

// Drops the characters a card file cannot hold in a name (the field
// terminator 0x07, NUL) and line breaks, which a single-line name never
// means to have.
QString cleanName(const QString &typed);

enum class NameCheck { Ok, Empty, Used };
// A cleaned name is Empty when nothing is left, Used when any node carries
// it exactly (with case): "Main" and a category's own name included.
NameCheck checkName(const Deck &deck, const QString &cleanedName);
QString nameUsedMessage(const QString &name);

// New: a node named name as the last child of parent. The open category
// stays. Returns the new node.
CategoryTree::NodeId newCategory(Deck &deck, CategoryTree::NodeId parent, const QString &name);

// Rename of a node other than "Main": the node and every card of the old
// name take the new one in place, and the open category follows. Outside
// subcategory mode the view is written back under the old name first, so
// cards that already carried the new name (orphans) are not dropped by a
// later write-back: if there are any, the view takes them in front of its
// own cards, keeping the current card and the marks on the same cards.
void renameCategory(Deck &deck, CategoryTree::NodeId node, const QString &name);

// Delete of a node other than "Main" with its subtree: the view is folded
// back, the subtree removed, the next sibling (else the parent) selected
// and opened, and every card whose category is no longer in the tree is
// removed for good. Returns the node now selected (ids change).
CategoryTree::NodeId deleteCategory(Deck &deck, CategoryTree::NodeId node);

// Clear: the view's cards go to the deleted cards in view order; the marks
// are cleared.
void clearCategory(Deck &deck);

// Why Move cannot run on deck's view; empty when it can.
QString moveRefusal(const Deck &deck);

inline const QString kNoDestination = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "You must choose a destination for your cards."));
inline const QString kSameCategory = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "You cannot move your cards into the same category."));
enum class MoveResult { Moved, NoDestination, SameCategory, StoreFull };

// Move's OK. destination is null when no node is selected. With all, every
// view card goes to destination (after its own cards in the file) and the
// view and marks are emptied; otherwise view card placeseek goes to the end
// of the file under destination and the marks are renumbered. A single card
// is refused when the file-level cards are at the store size.
MoveResult moveCards(Deck &deck, const QString *destination, bool all);

// After the Move dialog, whatever its outcome: side 1 and a current card
// inside the view (0 when it is empty).
void afterMove(Deck &deck);

} // namespace mdk::category
