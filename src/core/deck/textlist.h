#pragma once

#include <QString>

#include <vector>

namespace mdk {

// An ordered, never sorted list of texts. It stands in for the hidden list
// boxes that hold the deck: every card command is expressed in these
// operations, so their exact semantics (wrap-around search, negative result
// when full) are kept.
class TextList {
public:
    static constexpr int kDefaultCapacity = 50'000'000;

    explicit TextList(int capacity = kDefaultCapacity) : capacity_(capacity) {}

    int GetCount() const { return int(items_.size()); }

    // Appends; the new index, or -1 when the store is full.
    int AddString(const QString &text);
    // Inserts so that the text becomes entry i (i == count appends);
    // the index, or -1 when full or i is out of range.
    int InsertString(const QString &text, int i);
    // Removes entry i; false when i is out of range.
    bool DeleteString(int i);
    // Copies entry i into buffer; out of range leaves buffer unchanged.
    bool GetString(QString &buffer, int i) const;
    void ClearList() { items_.clear(); }
    // First exact (case-sensitive) match searching from after + 1 to the end,
    // then from 0 up to and including after; -1 when nothing matches.
    int FindExactString(const QString &text, int after) const;

    const QString &at(int i) const { return items_[size_t(i)]; }
    QString &operator[](int i) { return items_[size_t(i)]; }
    const std::vector<QString> &items() const { return items_; }
    // Direct access for the deck's bulk algorithms, which keep the parallel
    // lists in step themselves.
    std::vector<QString> &storage() { return items_; }

    int capacity() const { return capacity_; }
    void setCapacity(int capacity) { capacity_ = capacity; }
    bool isFull() const { return GetCount() >= capacity_; }

private:
    std::vector<QString> items_;
    int capacity_;
};

// The marks of the view: view indexes in the order they were marked. Kept as
// numbers with a membership set so that stepping past many marked cards
// stays cheap; text forms are what a list of decimal entries would give.
class MarkList {
public:
    int GetCount() const { return int(order_.size()); }
    bool isMarked(int viewIndex) const;
    // Appends a mark; false (and nothing changes) when it is already there.
    bool add(int viewIndex);
    int valueAt(int i) const { return order_[size_t(i)]; }
    QString textAt(int i) const { return QString::number(order_[size_t(i)]); }
    const std::vector<int> &values() const { return order_; }
    void ClearList();

    // After the view card at p was removed: marks above p move down by one.
    // A mark on p itself belonged to the removed card and is dropped.
    void renumberAfterRemoval(int p);
    // After a view card was inserted at p: marks above p move up by one.
    void renumberAfterInsertion(int p);

private:
    void rebuildMembership();

    std::vector<int> order_;
    std::vector<bool> member_;
};

} // namespace mdk
