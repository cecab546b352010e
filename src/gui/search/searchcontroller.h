#pragma once

#include "gui/common/commandcontroller.h"

#include <random>

namespace mdk {

// Search, Search again, Shuffle and Flip. The random generator belongs to
// the program: seeded from the clock at start, and again whenever asked
// (the About window does); tests give it their own seed.
class SearchController : public CommandController {
    Q_OBJECT
public:
    SearchController(const CommandContext &context, QObject *parent = nullptr);

    void Search();
    void SearchAgain();
    void ShuffleCards();
    void Flip();

    void reseed(quint64 seed) { rng_.seed(seed); }

private:
    std::mt19937_64 rng_;
};

} // namespace mdk
