#pragma once

// A literal, slow rendering of the deck: parallel text lists changed step
// by step as they are described for the original list controls. The deck's
// fast operations must leave exactly the same cards, in the same order.

#include "core/deck/deck.h"
#include "support/textlist.h"

#include <QStringList>

#include <limits>

namespace mdk::reference {

struct LiteralDeck {
    TextList MainSide1List, MainSide2List, CatList;
    TextList Side1List, Side2List;
    TextList UndeleteList1, UndeleteList2;
    QStringList MarkList; // decimal view indexes, in marking order
    QString OldTreeName = CategoryTree::kMainName;
    CategoryTree tree;
    // The current card and side, and the copy memory.
    int placeseek = 0;
    int side = 0;
    QString memory1, memory2;
    int cardinmemory = 0;

    explicit LiteralDeck(int capacity = TextList::kDefaultCapacity)
        : MainSide1List(capacity), MainSide2List(capacity), CatList(capacity), Side1List(capacity),
          Side2List(capacity), UndeleteList1(capacity), UndeleteList2(capacity)
    {
    }

    void addFileCard(const QString &s1, const QString &s2, const QString &cat)
    {
        if (MainSide1List.AddString(s1) < 0)
            return;
        MainSide2List.AddString(s2);
        CatList.AddString(cat);
    }
};

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

// Appends ignoring the store size, as the write-back and moves must.
inline void forceAdd(TextList &list, const QString &text)
{
    const int capacity = list.capacity();
    list.setCapacity(std::numeric_limits<int>::max());
    list.AddString(text);
    list.setCapacity(capacity);
}

inline void forceInsert(TextList &list, const QString &text, int i)
{
    const int capacity = list.capacity();
    list.setCapacity(std::numeric_limits<int>::max());
    list.InsertString(text, i);
    list.setCapacity(capacity);
}

inline void writeBackView(LiteralDeck &d)
{
    for (int j; (j = d.CatList.FindExactString(d.OldTreeName, -1)) != -1;) {
        d.CatList.DeleteString(j);
        d.MainSide1List.DeleteString(j);
        d.MainSide2List.DeleteString(j);
    }
    for (int k = 0; k < d.Side1List.GetCount(); ++k) {
        forceAdd(d.MainSide1List, d.Side1List.at(k));
        forceAdd(d.MainSide2List, d.Side2List.at(k));
        forceAdd(d.CatList, d.OldTreeName);
    }
}

inline void addCategoryCards(LiteralDeck &d, const QString &name)
{
    for (int j : cardsOfCategory(d.CatList, name)) {
        QString text;
        // A view load never drops a card, however full the store.
        d.MainSide1List.GetString(text, j);
        forceAdd(d.Side1List, text);
        d.MainSide2List.GetString(text, j);
        forceAdd(d.Side2List, text);
    }
}

inline void loadView(LiteralDeck &d, const QString &name)
{
    d.Side1List.ClearList();
    d.Side2List.ClearList();
    addCategoryCards(d, name);
}

// Recursive walk: the node's own children in order, each with its subtree.
inline void addDescendants(LiteralDeck &d, CategoryTree::NodeId node)
{
    for (CategoryTree::NodeId child : d.tree.children(node)) {
        addCategoryCards(d, d.tree.name(child));
        addDescendants(d, child);
    }
}

inline void loadViewWithSubcategories(LiteralDeck &d, CategoryTree::NodeId node)
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

inline void removeMarkAndRenumber(LiteralDeck &d, int p)
{
    d.MarkList.removeAll(QString::number(p));
    d.MarkList = renumber(d.MarkList, p, -1);
}

// Add, add another.
inline bool addViewCard(LiteralDeck &d, const QString &s1, const QString &s2)
{
    if (d.Side1List.AddString(s1) < 0)
        return false;
    d.Side2List.AddString(s2);
    return true;
}

// Paste at p.
inline bool pasteViewCard(LiteralDeck &d, int p, const QString &s1, const QString &s2)
{
    if (d.Side1List.InsertString(s1, p) < 0)
        return false;
    d.Side2List.InsertString(s2, p);
    // Every card from p on moves up, the one at p included.
    d.MarkList = renumber(d.MarkList, p - 1, +1);
    return true;
}

// Edit: delete, then insert at the same index.
inline void editViewCard(LiteralDeck &d, int p, const QString &s1, const QString &s2)
{
    d.Side1List.DeleteString(p);
    d.Side2List.DeleteString(p);
    forceInsert(d.Side1List, s1, p);
    forceInsert(d.Side2List, s2, p);
}

inline void deleteViewCard(LiteralDeck &d, int p)
{
    forceAdd(d.UndeleteList1, d.Side1List.at(p));
    forceAdd(d.UndeleteList2, d.Side2List.at(p));
    d.Side1List.DeleteString(p);
    d.Side2List.DeleteString(p);
    removeMarkAndRenumber(d, p);
}

inline void cutViewCard(LiteralDeck &d, int p)
{
    d.Side1List.DeleteString(p);
    d.Side2List.DeleteString(p);
    removeMarkAndRenumber(d, p);
}

inline void moveViewCard(LiteralDeck &d, int p, const QString &destination)
{
    const QString s1 = d.Side1List.at(p), s2 = d.Side2List.at(p);
    d.Side1List.DeleteString(p);
    d.Side2List.DeleteString(p);
    forceAdd(d.MainSide1List, s1);
    forceAdd(d.MainSide2List, s2);
    forceAdd(d.CatList, destination);
    removeMarkAndRenumber(d, p);
}

// Replaces every CatList entry equal to from, in place.
inline void relabel(LiteralDeck &d, const QString &from, const QString &to)
{
    for (int j = 0; j < d.CatList.GetCount(); ++j)
        if (d.CatList.at(j) == from) {
            d.CatList.DeleteString(j);
            forceInsert(d.CatList, to, j);
        }
}

inline void moveAllViewCards(LiteralDeck &d, const QString &destination)
{
    writeBackView(d);
    relabel(d, d.OldTreeName, destination);
    d.Side1List.ClearList();
    d.Side2List.ClearList();
    d.MarkList.clear();
}

inline void renameCategory(LiteralDeck &d, const QString &from, const QString &to)
{
    relabel(d, from, to);
    if (d.OldTreeName == from)
        d.OldTreeName = to;
}

// The sweep after deleting a category: every card whose category is not in
// the tree goes, and the same index is looked at again.
inline void removeCardsOutsideTree(LiteralDeck &d)
{
    for (int j = 0; j < d.CatList.GetCount();) {
        if (d.tree.contains(d.CatList.at(j))) {
            ++j;
            continue;
        }
        d.CatList.DeleteString(j);
        d.MainSide1List.DeleteString(j);
        d.MainSide2List.DeleteString(j);
    }
}

inline void clearCategory(LiteralDeck &d)
{
    while (d.Side1List.GetCount() > 0) {
        forceAdd(d.UndeleteList1, d.Side1List.at(0));
        forceAdd(d.UndeleteList2, d.Side2List.at(0));
        d.Side1List.DeleteString(0);
        d.Side2List.DeleteString(0);
    }
    d.MarkList.clear();
}

inline bool undeleteOne(LiteralDeck &d, int u)
{
    d.MarkList.clear();
    if (d.Side1List.AddString(d.UndeleteList1.at(u)) < 0)
        return false;
    d.Side2List.AddString(d.UndeleteList2.at(u));
    d.UndeleteList1.DeleteString(u);
    d.UndeleteList2.DeleteString(u);
    return true;
}

inline bool undeleteAll(LiteralDeck &d)
{
    bool complete = true;
    for (int n = d.UndeleteList1.GetCount(); n > 0; --n) {
        if (d.Side1List.AddString(d.UndeleteList1.at(0)) < 0) {
            complete = false;
            break;
        }
        d.Side2List.AddString(d.UndeleteList2.at(0));
        d.UndeleteList1.DeleteString(0);
        d.UndeleteList2.DeleteString(0);
    }
    d.MarkList.clear();
    return complete;
}

// Shuffle through the scratch lists: card order[k] becomes card k.
inline void permuteView(LiteralDeck &d, const std::vector<int> &order)
{
    TextList temp(d.Side1List.capacity()), temp2(d.Side2List.capacity());
    for (int k : order) {
        temp.AddString(d.Side1List.at(k));
        temp2.AddString(d.Side2List.at(k));
    }
    d.Side1List = temp;
    d.Side2List = temp2;
    d.MarkList.clear();
}

inline void flipView(LiteralDeck &d)
{
    const TextList side1 = d.Side1List;
    d.Side1List = d.Side2List;
    d.Side2List = side1;
}

// --- The display rules of the card commands: the current card moves by
// the same forward and backward steps the mouse takes, and every command
// ends by showing the current card, which never leaves a marked one shown.

inline bool isMarked(const LiteralDeck &d, int k)
{
    return d.MarkList.contains(QString::number(k));
}

inline void changeSide(LiteralDeck &d);

// The data part of showing the current card.
inline void setText(LiteralDeck &d)
{
    const int n = d.Side1List.GetCount();
    if (n == 0)
        return;
    if (d.MarkList.size() == n)
        d.MarkList.clear();
    if (isMarked(d, d.placeseek))
        changeSide(d);
}

inline void changeSide(LiteralDeck &d)
{
    const int n = d.Side1List.GetCount();
    if (n == 0)
        return;
    if (++d.side == 1) {
        setText(d);
        return;
    }
    if (d.MarkList.size() == n)
        d.MarkList.clear();
    do {
        if (++d.placeseek == n)
            d.placeseek = 0;
    } while (isMarked(d, d.placeseek));
    d.side = 0;
    setText(d);
}

inline void changeSideBackwards(LiteralDeck &d)
{
    const int n = d.Side1List.GetCount();
    if (n == 0)
        return;
    if (--d.side == 0) {
        setText(d);
        return;
    }
    if (d.MarkList.size() == n)
        d.MarkList.clear();
    do {
        if (--d.placeseek == -1)
            d.placeseek = n - 1;
    } while (isMarked(d, d.placeseek));
    d.side = 1;
    setText(d);
}

// Delete, with the confirmation turned off.
inline void deleteCommand(LiteralDeck &d)
{
    const int n = d.Side1List.GetCount();
    const int marks = int(d.MarkList.size());
    if (n == 0 || !(marks == 0 || n - marks > 1))
        return;
    deleteViewCard(d, d.placeseek);
    const int count = d.Side1List.GetCount();
    if (d.placeseek == count && count > 0) {
        d.side = 0;
        changeSideBackwards(d);
    }
    if (d.placeseek != count) {
        d.side = 1;
        changeSide(d);
    }
    if (count == 0)
        d.side = 0;
    setText(d);
}

inline void cutCommand(LiteralDeck &d)
{
    if (d.Side1List.GetCount() == 0)
        return;
    d.cardinmemory = 1;
    d.memory1 = d.Side1List.at(d.placeseek);
    d.memory2 = d.Side2List.at(d.placeseek);
    cutViewCard(d, d.placeseek);
    const int count = d.Side1List.GetCount();
    if (d.placeseek == count && count > 0) {
        d.side = 0;
        changeSideBackwards(d);
    }
    if (d.placeseek != count)
        d.side = 0;
    if (count == 0)
        d.side = 0;
    setText(d);
}

inline void copyCommand(LiteralDeck &d)
{
    if (d.Side1List.GetCount() == 0)
        return;
    d.cardinmemory = 1;
    d.memory1 = d.Side1List.at(d.placeseek);
    d.memory2 = d.Side2List.at(d.placeseek);
}

// False when nothing was copied yet or the store is full.
inline bool pasteCommand(LiteralDeck &d)
{
    if (!d.cardinmemory || !pasteViewCard(d, d.placeseek, d.memory1, d.memory2))
        return false;
    if (d.Side1List.GetCount() == 1)
        d.side = d.placeseek = 0;
    setText(d);
    return true;
}

// False when marking would leave no card unmarked.
inline bool markCommand(LiteralDeck &d)
{
    const int n = d.Side1List.GetCount();
    if (n == 0 || d.MarkList.size() + 1 == n)
        return false;
    d.MarkList << QString::number(d.placeseek);
    d.side = 1;
    changeSide(d);
    return true;
}

} // namespace mdk::reference
