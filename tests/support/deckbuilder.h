#pragma once

// Decks for tests, built through the deck's own operations, and plain
// lists of what a deck holds, for comparisons.

#include "core/deck/deck.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace mdk::testsupport {

struct CardText {
    QString side1, side2, category;
};

// A category and its parent, which is "Main" or a category listed earlier.
struct CategoryLink {
    QString name, parent;
};

inline void addCategories(CategoryTree &tree, const QList<CategoryLink> &categories)
{
    for (const CategoryLink &c : categories) {
        const CategoryTree::NodeId parent = tree.findByName(c.parent);
        Q_ASSERT_X(parent != CategoryTree::None, "addCategories", "parent not listed before its child");
        tree.addChild(parent, c.name);
    }
}

inline void addCategories(Deck &d, const QList<CategoryLink> &categories)
{
    for (const CategoryLink &c : categories) {
        const CategoryTree::NodeId parent = d.tree().findByName(c.parent);
        Q_ASSERT_X(parent != CategoryTree::None, "addCategories", "parent not listed before its child");
        d.addCategory(parent, c.name);
    }
}

// A deck with changes not in its file, reached through an operation that
// leaves every card as it was.
inline void makeChanged(Deck &d)
{
    d.flipViewSides();
    d.flipViewSides();
}

// The cards in file order under the given tree, the view holding the cards
// of "Main" as reading a file leaves it: "Main" open, the first card
// current, no marks, nothing deleted.
inline Deck buildDeck(const QList<CardText> &cards, const QList<CategoryLink> &categories = {},
                      int capacity = Deck::kDefaultCapacity)
{
    Deck d;
    d.setCapacity(capacity);
    addCategories(d, categories);
    for (const CardText &c : cards)
        d.appendFileCard(c.side1, c.side2, c.category);
    d.LoadView(CategoryTree::kMainName);
    d.ResetCurrentCard();
    d.forgetChanges();
    return d;
}

// n cards "q1"/"a1" ... "qn"/"an", all in "Main".
inline Deck mainDeck(int n)
{
    QList<CardText> cards;
    for (int i = 1; i <= n; ++i)
        cards.append({QStringLiteral("q%1").arg(i), QStringLiteral("a%1").arg(i), CategoryTree::kMainName});
    return buildDeck(cards);
}

enum class Column { Side1, Side2, Category };

inline QStringList fileColumn(const Deck &d, Column column)
{
    QStringList out;
    for (int j = 0; j < d.fileCount(); ++j)
        out << (column == Column::Side1   ? d.fileSide1(j)
                : column == Column::Side2 ? d.fileSide2(j)
                                          : d.fileCategory(j));
    return out;
}

inline QStringList viewColumn(const Deck &d, Column column)
{
    QStringList out;
    for (int k = 0; k < d.viewCount(); ++k)
        out << (column == Column::Side2 ? d.viewSide2(k) : d.viewSide1(k));
    return out;
}

inline QStringList deletedColumn(const Deck &d, Column column)
{
    QStringList out;
    for (int u = 0; u < d.deletedCount(); ++u)
        out << (column == Column::Side2 ? d.deletedSide2(u) : d.deletedSide1(u));
    return out;
}

inline QStringList markTexts(const MarkList &marks)
{
    QStringList out;
    for (int i = 0; i < marks.GetCount(); ++i)
        out << marks.textAt(i);
    return out;
}

} // namespace mdk::testsupport
