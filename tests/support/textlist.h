#pragma once

#include "core/deck/deck.h"

#include <QString>

#include <vector>

namespace mdk {

// An ordered, never sorted list of texts with the operations of a plain
// list box (wrap-around search, negative result when full). The deck's
// behaviour is defined in these terms: the tests' literal rendering of the
// deck is built from them.
class TextList {
public:
    static constexpr int kDefaultCapacity = Deck::kDefaultCapacity;

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

    int capacity() const { return capacity_; }
    void setCapacity(int capacity) { capacity_ = capacity; }
    bool isFull() const { return GetCount() >= capacity_; }

private:
    std::vector<QString> items_;
    int capacity_;
};

inline int TextList::AddString(const QString &text)
{
    if (isFull())
        return -1;
    items_.push_back(text);
    return GetCount() - 1;
}

inline int TextList::InsertString(const QString &text, int i)
{
    if (isFull() || i < 0 || i > GetCount())
        return -1;
    items_.insert(items_.begin() + i, text);
    return i;
}

inline bool TextList::DeleteString(int i)
{
    if (i < 0 || i >= GetCount())
        return false;
    items_.erase(items_.begin() + i);
    return true;
}

inline bool TextList::GetString(QString &buffer, int i) const
{
    if (i < 0 || i >= GetCount())
        return false;
    buffer = items_[size_t(i)];
    return true;
}

inline int TextList::FindExactString(const QString &text, int after) const
{
    const int n = GetCount();
    if (n == 0)
        return -1;
    int start = after + 1;
    if (start < 0 || start >= n)
        start = 0;
    for (int i = start; i < n; ++i)
        if (items_[size_t(i)] == text)
            return i;
    for (int i = 0; i < start; ++i)
        if (items_[size_t(i)] == text)
            return i;
    return -1;
}

} // namespace mdk
