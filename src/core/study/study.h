#pragma once

#include "core/deck/deck.h"

#include <QString>

namespace mdk::study {

// "Card 3, side 2": the status line's caption of the current card.
QString cardCaption(const Deck &deck);
// "Card 3 of 40, side 2": where the current card is, for a screen reader;
// "No card" when the view is empty.
QString cardPosition(const Deck &deck);

// Clears the marks when no view card is left unmarked. A mark that names
// no view card counts as nothing.
void clearMarksIfAllMarked(Deck &deck);

// Brings the current card and side to the ones that are to be shown: the
// marks are cleared when every card is marked, and a marked current card
// is stepped past. Does nothing for an empty view.
void settle(Deck &deck);

// One step forwards: side 1, side 2, then the next unmarked card's side 1,
// wrapping after the last card. Returns false for an empty view.
bool stepForward(Deck &deck);
// One step backwards: the same cycle in reverse.
bool stepBackward(Deck &deck);
// Side 1 of the first (or last) unmarked card of the view. Returns false
// for an empty view.
bool goToFirst(Deck &deck);
bool goToLast(Deck &deck);

// The text of the side shown, cut to what the display takes.
inline constexpr int kShownLimit = 10'000;
QString shownText(const Deck &deck);

enum class MarkResult { Empty, WouldMarkAll, Marked };
// Marks the current card and steps on to the next unmarked card's side 1.
MarkResult markCurrent(Deck &deck);
void unmarkAll(Deck &deck);

// The number typed into the Jump to Card dialog: leading white space, an
// optional sign, then decimal digits up to the first other character; no
// digits give 0.
int jumpNumber(const QString &text);
// The dialog's OK: side 1 will be shown whatever the number; a number from
// 1 to the view's count becomes the current card and returns true.
bool acceptJump(Deck &deck, int number);

// The fields of the Information dialog; a field whose step is skipped
// stays empty.
struct Information {
    QString fileName, location;
    QString totalCards, markedCards, deletedCards;
    QString totalCategories, cardsInCategory;
};
// Folds the view back first (outside subcategory mode) so the counts are
// current; filehaschanged is left alone.
Information information(Deck &deck, const QString &fileName, const QString &filePath);

} // namespace mdk::study
