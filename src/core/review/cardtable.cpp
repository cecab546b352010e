#include "cardtable.h"

#include <utility>

namespace mdk::review {

void CardTable::reserve(size_t cards)
{
    size_t capacity = 16;
    while (capacity < cards * 2)
        capacity *= 2;
    if (capacity <= slots_.size())
        return;
    std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(capacity));
    size_ = 0;
    for (const Slot &s : old)
        if (s.used)
            set(s.key, s.state);
}

void CardTable::grow()
{
    reserve(slots_.empty() ? 8 : slots_.size());
}

const CardState *CardTable::find(qint64 key) const
{
    if (slots_.empty())
        return nullptr;
    const size_t mask = slots_.size() - 1;
    for (size_t i = size_t(key) & mask;; i = (i + 1) & mask) {
        const Slot &s = slots_[i];
        if (!s.used)
            return nullptr;
        if (s.key == key)
            return &s.state;
    }
}

bool CardTable::set(qint64 key, const CardState &state)
{
    // Kept at most half full, so every probe ends soon.
    if ((size_ + 1) * 2 > slots_.size())
        grow();
    const size_t mask = slots_.size() - 1;
    for (size_t i = size_t(key) & mask;; i = (i + 1) & mask) {
        Slot &s = slots_[i];
        if (!s.used) {
            s = Slot{key, state, true};
            ++size_;
            return true;
        }
        if (s.key == key) {
            s.state = state;
            return false;
        }
    }
}

} // namespace mdk::review
