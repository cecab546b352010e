#pragma once

// The cards of `mdktool generate N`, every one in "Main" and "Main" open:
// the texts (lengths, accented letters, line breaks) a command meets in the
// program on such a file, rather than a bench's own uniform words.

#include "core/deck/deck.h"
#include "generator.h"

namespace benchsupport {

inline mdk::Deck generatedMainDeck(int cards)
{
    mdk::Deck spread, all;
    mdk::generator::Settings settings;
    settings.cards = cards;
    mdk::generator::fillDeck(spread, settings);
    for (int j = 0; j < spread.fileCount(); ++j)
        all.appendFileCard(spread.fileSide1(j), spread.fileSide2(j), mdk::CategoryTree::kMainName);
    all.LoadView(mdk::CategoryTree::kMainName);
    all.ResetCurrentCard();
    return all;
}

} // namespace benchsupport
