#pragma once

#include "core/deck/deck.h"
#include "core/settings/options.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

// Search in the view and the removal of duplicate cards. A search finds the
// next card whose side 1 or side 2 contains a text; duplicate removal keeps
// the first card of each group of equal texts.
namespace mdk::search {

// The search reads at most the first 36 characters of its text.
inline constexpr int kPatternChars = 36;

struct Options {
    bool caseSensitive = false;
    bool wholeWords = false;
};

// The Search dialog's two boxes as the settings keep them, and back.
Options storedOptions(const mdk::Options &settings);
void storeOptions(mdk::Options &settings, Options chosen);

// Why Search cannot run on deck's view; empty when it can.
QString refusal(const Deck &deck);

// Whether text contains pattern under the options; an empty pattern never
// matches. Without case sensitivity both are compared through Qt's case
// folding. With whole words the match must not touch a word character on
// either side: any Unicode letter, digit or combining mark, so an accented
// letter typed from the palette joins a word ("écat" holds no word "cat").
bool matches(const QString &text, const QString &pattern, Options options);

// A found card: its view index and the side the text is on (0: side 1,
// 1: side 2).
struct Found {
    int card = -1;
    int side = 0;
};

// Scans the view from the card after `current` to the last, then from the
// first to `current`, which is tested last; side 1 before side 2. Marked
// cards are left out, as they are out of the study cycle. scanning(card)
// is called as each card is tested (may be empty). Nothing found (or an
// empty pattern or view): std::nullopt, and the deck is untouched.
std::optional<Found> scan(const Deck &deck, int current, const QString &pattern, Options options,
                          const std::function<void(int)> &scanning = {});

// Removes every later exact (case-sensitive) copy of a side's text (side 0
// or 1) into the deleted cards: for each card that stays, in view order,
// its later copies in view order, so Undelete brings them back grouped by
// the card they copied. Clears the marks and sets filehaschanged even when
// nothing was removed; the current card is left to the caller (kept within
// the view). Returns how many were removed. Uses a second thread on large
// views. progress(done) is called on the caller's thread every few dozen
// cards of work, done rising from 0 to the view's count at the start.
int removeDuplicates(Deck &deck, int side, const std::function<void(int done)> &progress = {});

// What one press of the Search dialog's "Begin search" shows as it works:
// the text being looked for (or "Duplicates on side 1"), the view's count
// after a removal, and the card reached.
struct ClickProgress {
    std::function<void(const QString &)> searchingFor;
    std::function<void(int)> totalCards;
    std::function<void(int)> scanning;
};
// What the press did: whether duplicates were removed, whether a text was
// looked for, and where it was found.
struct Click {
    bool removed = false;
    bool searched = false;
    std::optional<Found> found;
};
// One press of "Begin search": removes the later copies on each ticked
// side (the view then starts from card 1), then scans for pattern from the
// deck's current card. A find becomes the current card and side; otherwise
// the current card is where the scan started, so the next press in the same
// dialog scans on from there.
Click beginSearch(Deck &deck, const std::array<bool, 2> &duplicates, const QString &pattern, Options options,
                  const ClickProgress &progress = {});

} // namespace mdk::search
