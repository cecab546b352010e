#pragma once

#include "leitner.h"

#include <vector>

namespace mdk::review {

// Card states by key in one flat open-addressing table: the keys are
// already well-mixed hashes, so their low bits place them, and a million
// cards are read in or looked up with about one cache miss each (a node
// per card would cost an allocation and a pointer chase).
class CardTable {
public:
    void reserve(size_t cards);
    size_t size() const { return size_; }
    // The state stored for key, or nullptr.
    const CardState *find(qint64 key) const;
    // Asks the memory for key's slot ahead of a find: a million lookups in
    // a row then overlap their cache misses.
    void prefetch(qint64 key) const
    {
        if (!slots_.empty())
            __builtin_prefetch(&slots_[size_t(key) & (slots_.size() - 1)]);
    }
    // Inserts or replaces; returns whether key was new.
    bool set(qint64 key, const CardState &state);

    template <typename Visit>
    void forEach(Visit &&visit) const
    {
        for (const Slot &s : slots_)
            if (s.used)
                visit(s.key, s.state);
    }

private:
    struct Slot {
        qint64 key = 0;
        CardState state;
        bool used = false;
    };
    void grow();

    std::vector<Slot> slots_;
    size_t size_ = 0;
};

} // namespace mdk::review
