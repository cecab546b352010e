#include "categorycommands.h"

#include <vector>

namespace mdk::category {

QString moveRefusal(const Deck &deck)
{
    return deck.viewCount() == 0 ? QStringLiteral("You must have a least one card in your file to move a card.")
                                 : QString();
}

QString cleanName(const QString &typed)
{
    QString out = typed;
    for (const QChar c : {QChar(0x07), QChar(0), QChar(u'\r'), QChar(u'\n')})
        out.remove(c);
    return out;
}

NameCheck checkName(const Deck &deck, const QString &cleanedName)
{
    if (cleanedName.isEmpty())
        return NameCheck::Empty;
    return deck.tree.contains(cleanedName) ? NameCheck::Used : NameCheck::Ok;
}

QString nameUsedMessage(const QString &name)
{
    return u'"' + name
        + QStringLiteral("\" already exists.  You must think of a category name which has not already been used.");
}

CategoryTree::NodeId newCategory(Deck &deck, CategoryTree::NodeId parent, const QString &name)
{
    const CategoryTree::NodeId id = deck.tree.addChild(parent, name);
    deck.filehaschanged = 1;
    return id;
}

void renameCategory(Deck &deck, CategoryTree::NodeId node, const QString &name)
{
    if (!deck.tree.isValid(node) || node == deck.tree.root())
        return;
    const QString old = deck.tree.name(node);
    const bool viewIsOld = !deck.ShowSubCategories && deck.OldTreeName == old;
    int orphans = 0;
    if (!deck.ShowSubCategories) {
        deck.WriteBackView();
        if (viewIsOld)
            deck.ForEachCardOfCategory(name, [&](int) { ++orphans; });
    }
    deck.tree.rename(node, name);
    deck.relabelCategory(old, name);
    if (orphans > 0) {
        // The orphans come before the written-back view cards in the file,
        // so the reloaded view is the orphans, then the old view in order.
        const std::vector<int> marks = deck.Marks.values();
        const int current = deck.placeseek;
        const int shown = deck.side;
        deck.LoadView(name);
        deck.Marks.ClearList();
        for (int m : marks)
            deck.Marks.add(m + orphans);
        deck.placeseek = current + orphans;
        deck.side = shown;
    }
    deck.filehaschanged = 1;
}

CategoryTree::NodeId deleteCategory(Deck &deck, CategoryTree::NodeId node)
{
    CategoryTree &tree = deck.tree;
    if (!tree.isValid(node) || node == tree.root())
        return tree.selected();
    const CategoryTree::NodeId parent = tree.parent(node);
    const auto &siblings = tree.children(parent);
    CategoryTree::NodeId next = parent;
    for (size_t i = 0; i + 1 < siblings.size(); ++i)
        if (siblings[i] == node)
            next = siblings[i + 1];
    next = tree.removeSubtree(node, next);
    tree.setSelected(next);
    // Opening folds the view back under the open name (in the same pass that
    // loads the new view); the sweep then drops the subtree's cards and any
    // orphans in one compaction. Only with "Main" open does opening "Main"
    // skip the fold, and then the view is not among the deleted cards.
    deck.OpenCategory();
    deck.removeCardsOutsideTree();
    deck.filehaschanged = 1;
    return next;
}

void clearCategory(Deck &deck)
{
    deck.clearViewToDeleted();
    deck.filehaschanged = 1;
}

MoveResult moveCards(Deck &deck, const QString *destination, bool all)
{
    if (!destination)
        return MoveResult::NoDestination;
    if (sameText(*destination, deck.OldTreeName))
        return MoveResult::SameCategory;
    if (all) {
        deck.moveAllViewCards(*destination);
    } else {
        if (deck.viewCount() == 0)
            return MoveResult::Moved; // nothing to move
        if (deck.fileCount() >= deck.capacity())
            return MoveResult::StoreFull;
        deck.moveViewCard(qBound(0, deck.placeseek, deck.viewCount() - 1), *destination);
    }
    deck.filehaschanged = 1;
    return MoveResult::Moved;
}

void afterMove(Deck &deck)
{
    deck.side = 0;
    if (deck.placeseek >= deck.viewCount())
        deck.placeseek = deck.viewCount() - 1;
    if (deck.placeseek < 0 || deck.viewCount() == 0)
        deck.placeseek = 0;
}

} // namespace mdk::category
