#pragma once

#include <QString>

#include <vector>

namespace mdk {

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
    // The marks become values, in that order (an undo putting them back).
    void assign(std::vector<int> values);

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
