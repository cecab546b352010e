#pragma once

#include "categorytree.h"
#include "textlist.h"

#include <QString>

#include <cstring>
#include <vector>

namespace mdk {

enum class TextEncoding { Windows1252, Utf8 };

// Exact, case-sensitive equality of two texts. The category column repeats
// a few names that share their text blocks, so the same block decides at
// once; otherwise a plain memory compare, without the general string
// comparison's call and case handling, which dominate scans of big decks.
inline bool sameText(const QString &a, const QString &b)
{
    const qsizetype n = a.size();
    if (n != b.size())
        return false;
    const QChar *pa = a.constData();
    const QChar *pb = b.constData();
    return pa == pb || std::memcmp(pa, pb, size_t(n) * sizeof(QChar)) == 0;
}

// Everything the program knows about the open card file: the cards of the
// file (three parallel lists), the view of the open category (two parallel
// lists), the marks, the deleted cards, the copy memory and the category
// tree. Card commands work on the view; WriteBackView folds it back into the
// file-level lists.
class Deck {
public:
    Deck();

    // File-level lists: entry j of the three is card j of the file.
    TextList MainSide1List, MainSide2List, CatList;
    // The view of the open category: entry k of the two is view card k.
    TextList Side1List, Side2List;
    MarkList Marks; // the view's MarkList
    // Deleted cards, oldest first; they keep no category.
    TextList UndeleteList1, UndeleteList2;
    // Work lists of shuffle and flip.
    TextList TempList, TempList2;

    // The copy memory.
    QString memorySide1, memorySide2;
    int cardinmemory = 0;

    CategoryTree tree;

    QString OldTreeName = CategoryTree::kMainName;
    bool ShowSubCategories = false;
    int placeseek = 0;
    int side = 0;
    int totalcardsinfile = 0;
    int filehaschanged = 0;
    int filehasbeensaved = 0;
    QString Word = QStringLiteral(" ");
    QString Meaning = QStringLiteral(" ");
    int undeleteindex = 0;
    // How the open file was encoded; a save writes it back the same way.
    TextEncoding encoding = TextEncoding::Windows1252;

    // Sets the store size of every list; AddString fails beyond it.
    void setCapacity(int capacity);
    int capacity() const { return MainSide1List.capacity(); }

    // The empty deck: no cards, only "Main", nothing saved yet.
    void clear();

    int viewCount() const { return Side1List.GetCount(); }
    int fileCount() const { return MainSide1List.GetCount(); }
    int deletedCount() const { return UndeleteList1.GetCount(); }
    // Read access to view card k, file card j and deleted card u.
    const QString &viewSide1(int k) const { return Side1List.at(k); }
    const QString &viewSide2(int k) const { return Side2List.at(k); }
    const QString &fileSide1(int j) const { return MainSide1List.at(j); }
    const QString &fileSide2(int j) const { return MainSide2List.at(j); }
    const QString &fileCategory(int j) const { return CatList.at(j); }
    const QString &deletedSide1(int u) const { return UndeleteList1.at(u); }
    const QString &deletedSide2(int u) const { return UndeleteList2.at(u); }
    // Neither a card in view nor a category besides "Main".
    bool isBlank() const { return viewCount() == 0 && tree.nodeCount() <= 1; }

    // Calls visit(j) for every file-level card j of the category, ascending.
    template <typename Visitor>
    void ForEachCardOfCategory(const QString &name, Visitor &&visit) const
    {
        const auto &cats = CatList.items();
        for (size_t j = 0; j < cats.size(); ++j)
            if (sameText(cats[j], name))
                visit(int(j));
    }

    // For each node, its file-level cards in ascending order.
    std::vector<std::vector<int>> cardsOfCategories(const std::vector<CategoryTree::NodeId> &nodes) const;

    // Moves the open category's cards, as the view holds them, to the end of
    // the file-level lists. Never done in subcategory mode.
    void WriteBackView();
    void LoadView(const QString &name);
    void LoadViewWithSubcategories(CategoryTree::NodeId node);
    // Makes the tree's selected category the open one.
    void OpenCategory();
    void ToggleSubcategoryMode();
    // Removes view card p into the undelete lists.
    void RemoveViewCard(int p);
    void RenumberMarksAfterRemoval(int p) { Marks.renumberAfterRemoval(p); }
    void RenumberMarksAfterInsertion(int p) { Marks.renumberAfterInsertion(p); }
    // The data part of showing no card after a view rebuild.
    void ResetCurrentCard();

private:
    // Replaces the view with the given file-level cards.
    void loadViewFrom(const std::vector<int> &cards);

public:
    // Drops the characters that would break a card file (the field
    // terminator 0x07 and NUL) from a text about to enter the deck.
    static QString cleanText(const QString &text);
};

} // namespace mdk
