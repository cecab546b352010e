#pragma once

#include "core/deck/categorytree.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace mdk {

// Shows a category tree in a tree widget. Qt's tree view lays out and
// deletes expanded items recursively, so a corrupt file with a very deep
// tree would overflow the stack: items are deleted leaves first, and only
// the first kMaxExpandDepth levels are expanded automatically.
namespace categorytreewidget {

inline constexpr int kMaxExpandDepth = 200;
inline constexpr int kNodeRole = 0x0100; // Qt::UserRole

// Sets a category tree view up: its one column is as wide as its widest
// shown label (indentation included) and the view scrolls sideways, so a
// deep label is neither cut to nothing nor out of the keyboard's reach.
void prepare(QTreeWidget &widget);
// Replaces the widget's items with the tree's nodes; returns the item to
// make current: the selected node's, or its ancestor at kMaxExpandDepth
// when the node lies deeper.
QTreeWidgetItem *fill(QTreeWidget &widget, const CategoryTree &tree);
// Expands every node down to kMaxExpandDepth levels.
void expand(QTreeWidget &widget);
// Removes every item without recursing through the levels.
void clear(QTreeWidget &widget);
// The deck node an item shows.
CategoryTree::NodeId nodeOf(const QTreeWidgetItem *item);

} // namespace categorytreewidget
} // namespace mdk
