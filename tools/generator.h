#pragma once

#include "core/deck/deck.h"
#include "core/deck/safewrite.h"

#include <QString>

#include <cstdint>

namespace mdk::generator {

// A small, fixed pseudo-random generator (SplitMix64). The standard
// library's distributions may differ between library versions; this one
// gives the same numbers everywhere, so generated files are reproducible.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // Uniform in [0, n); n > 0.
    std::uint32_t below(std::uint32_t n);
    // True with probability 1 / n.
    bool oneIn(std::uint32_t n) { return below(n) == 0; }

private:
    std::uint64_t state_;
};

struct Settings {
    int cards = 0;
    // Texts use letters that Windows-1252 cannot hold, so the file is
    // written as UTF-8.
    bool utf8 = false;
    std::uint64_t seed = 0x4d6e656d6f646563ULL;
};

// The category that holds about a tenth of the cards: a realistic
// "big" category for timing a category switch.
QString largeCategoryName();
inline constexpr int kMaxDepth = 4; // levels below "Main"

// Replaces the deck with a synthetic one: a few hundred categories up to
// kMaxDepth levels below "Main", side texts of 1 to 80 characters (some with
// CR LF line breaks and accented letters), each card's category drawn from
// the whole tree including "Main". The deck is left as after reading a
// file: the view holds the "Main" cards.
void fillDeck(Deck &deck, const Settings &settings);

// fillDeck, then the full-deck writer.
WriteResult writeFile(const Settings &settings, const QString &path);

} // namespace mdk::generator
