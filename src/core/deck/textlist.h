#pragma once

#include <QString>

#include <vector>

namespace mdk {

// An ordered, never sorted list of texts with the operations of a plain
// list box (wrap-around search, negative result when full). The deck's
// behaviour is defined in these terms; the tests' literal rendering of the
// deck is built from them.
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

// Makes many small texts cheaply: their characters go one after another
// into large shared blocks instead of a heap block each (a million cards
// otherwise cost about a hundred bytes of heap overhead per card). A text
// made here is an ordinary QString holding a reference to its block, so
// copies are safe and outlive the pool; a block is freed when its last text
// goes. Changing a text whose block is shared copies it out first, as for
// any shared QString. A single surviving text keeps its whole block alive,
// which is the price of the saving.
class TextPool {
public:
    TextPool() = default;
    ~TextPool();
    TextPool(const TextPool &) = delete;
    TextPool &operator=(const TextPool &) = delete;

    // A text of at most maxLength characters: fill(char16_t *out) writes
    // them and returns how many it wrote.
    template <typename Fill>
    QString make(qsizetype maxLength, Fill &&fill)
    {
        if (maxLength <= 0)
            return QString();
        if (maxLength > kLargeText) {
            QString text(maxLength, Qt::Uninitialized);
            text.truncate(fill(reinterpret_cast<char16_t *>(text.data())));
            return text;
        }
        char16_t *out = room(maxLength);
        return commit(out, fill(out));
    }

private:
    static constexpr qsizetype kBlockChars = qsizetype(1) << 20;
    static constexpr qsizetype kLargeText = kBlockChars / 16;

    // Space for length characters and a terminating zero.
    char16_t *room(qsizetype length);
    QString commit(char16_t *chars, qsizetype length);
    void release();

    QTypedArrayData<char16_t> *block_ = nullptr;
    char16_t *begin_ = nullptr;
    qsizetype used_ = 0;
};

} // namespace mdk
