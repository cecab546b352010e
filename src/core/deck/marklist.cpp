#include "marklist.h"

#include <algorithm>

namespace mdk {

bool MarkList::isMarked(int viewIndex) const
{
    return viewIndex >= 0 && size_t(viewIndex) < member_.size() && member_[size_t(viewIndex)];
}

bool MarkList::add(int viewIndex)
{
    if (viewIndex < 0 || isMarked(viewIndex))
        return false;
    if (size_t(viewIndex) >= member_.size())
        member_.resize(size_t(viewIndex) + 1, false);
    member_[size_t(viewIndex)] = true;
    order_.push_back(viewIndex);
    return true;
}

void MarkList::ClearList()
{
    order_.clear();
    member_.clear();
}

void MarkList::renumberAfterRemoval(int p)
{
    std::erase(order_, p);
    for (int &m : order_)
        if (m > p)
            --m;
    rebuildMembership();
}

void MarkList::renumberAfterInsertion(int p)
{
    for (int &m : order_)
        if (m > p)
            ++m;
    rebuildMembership();
}

void MarkList::rebuildMembership()
{
    member_.clear();
    if (order_.empty())
        return;
    member_.resize(size_t(*std::max_element(order_.begin(), order_.end())) + 1, false);
    for (int m : order_)
        member_[size_t(m)] = true;
}

void MarkList::assign(std::vector<int> values)
{
    order_ = std::move(values);
    rebuildMembership();
}

} // namespace mdk
