#pragma once

// Literal, slow renderings of the deck algorithms, step by step as they are
// described for the original list controls. The fast implementations must
// give exactly the same lists.

#include "core/deck/deck.h"

namespace mdk::reference {

inline std::vector<int> cardsOfCategory(const TextList &catList, const QString &name)
{
    std::vector<int> visited;
    int previous = -1;
    for (;;) {
        const int j = catList.FindExactString(name, previous);
        if (j >= 0 && j > previous)
            visited.push_back(j);
        if (j > previous)
            previous = j;
        else
            break;
    }
    return visited;
}

inline void writeBackView(Deck &d)
{
    for (int j; (j = d.CatList.FindExactString(d.OldTreeName, -1)) != -1;) {
        d.CatList.DeleteString(j);
        d.MainSide1List.DeleteString(j);
        d.MainSide2List.DeleteString(j);
    }
    for (int k = 0; k < d.Side1List.GetCount(); ++k) {
        d.MainSide1List.AddString(d.Side1List.at(k));
        d.MainSide2List.AddString(d.Side2List.at(k));
        d.CatList.AddString(d.OldTreeName);
    }
}

inline void addCategoryCards(Deck &d, const QString &name)
{
    for (int j : cardsOfCategory(d.CatList, name)) {
        QString text;
        d.MainSide1List.GetString(text, j);
        d.Side1List.AddString(text);
        d.MainSide2List.GetString(text, j);
        d.Side2List.AddString(text);
    }
}

inline void loadView(Deck &d, const QString &name)
{
    d.Side1List.ClearList();
    d.Side2List.ClearList();
    addCategoryCards(d, name);
}

// Recursive walk: the node's own children in order, each with its subtree.
inline void addDescendants(Deck &d, CategoryTree::NodeId node)
{
    for (CategoryTree::NodeId child : d.tree.children(node)) {
        addCategoryCards(d, d.tree.name(child));
        addDescendants(d, child);
    }
}

inline void loadViewWithSubcategories(Deck &d, CategoryTree::NodeId node)
{
    d.Side1List.ClearList();
    d.Side2List.ClearList();
    addCategoryCards(d, d.tree.name(node));
    addDescendants(d, node);
}

// Marks as a list of decimal texts, renumbered entry by entry.
inline QStringList renumber(const QStringList &marks, int p, int delta)
{
    QStringList out = marks;
    for (int i = 0; i < out.size(); ++i) {
        const int m = out[i].toInt();
        const int value = m > p ? m + delta : m;
        out.insert(i, QString::number(value));
        out.removeAt(i + 1);
    }
    return out;
}

} // namespace mdk::reference
