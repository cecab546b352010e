#include "categorycommands.h"

#include <QCoreApplication>
#include <vector>

namespace mdk::category {

QString moveRefusal(const Deck &deck)
{
    return deck.viewCount() == 0 ? QCoreApplication::translate("Mnemodeck", "You must have a least one card in your file to move a card.")
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
    return deck.tree().contains(cleanedName) ? NameCheck::Used : NameCheck::Ok;
}

QString nameUsedMessage(const QString &name)
{
    return u'"' + name
        + QCoreApplication::translate("Mnemodeck", "\" already exists.  You must think of a category name which has not already been used.");
}

CategoryTree::NodeId newCategory(Deck &deck, CategoryTree::NodeId parent, const QString &name)
{
    return deck.addCategory(parent, name);
}

void renameCategory(Deck &deck, CategoryTree::NodeId node, const QString &name)
{
    deck.renameCategory(node, name);
}

CategoryTree::NodeId deleteCategory(Deck &deck, CategoryTree::NodeId node)
{
    return deck.deleteCategory(node);
}

void clearCategory(Deck &deck)
{
    deck.clearViewToDeleted();
}

MoveResult moveCards(Deck &deck, const QString *destination, bool all)
{
    if (!destination)
        return MoveResult::NoDestination;
    if (sameText(*destination, deck.oldTreeName()))
        return MoveResult::SameCategory;
    if (all) {
        deck.moveAllViewCards(*destination);
    } else {
        if (deck.viewCount() == 0)
            return MoveResult::Moved; // nothing to move
        if (deck.fileCount() >= deck.capacity())
            return MoveResult::StoreFull;
        deck.moveViewCard(qBound(0, deck.placeseek(), deck.viewCount() - 1), *destination);
    }
    return MoveResult::Moved;
}

void afterMove(Deck &deck)
{
    int card = deck.placeseek();
    if (card >= deck.viewCount())
        card = deck.viewCount() - 1;
    if (card < 0 || deck.viewCount() == 0)
        card = 0;
    deck.setCurrentCard(card, 0);
}

} // namespace mdk::category
