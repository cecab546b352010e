#include "cardedit.h"

#include "core/study/study.h"

#include <algorithm>

namespace mdk::edit {

bool addCard(Deck &deck, const QString &side1, const QString &side2)
{
    return deck.appendViewCard(Deck::cleanText(side1), Deck::cleanText(side2));
}

void editCard(Deck &deck, int k, const QString &side1, const QString &side2)
{
    deck.replaceViewCard(k, Deck::cleanText(side1), Deck::cleanText(side2));
}

bool mayDelete(const Deck &deck)
{
    const int n = deck.viewCount();
    const int marks = deck.marks().GetCount();
    return n > 0 && (marks == 0 || n - marks > 1);
}

void deleteCard(Deck &deck, int k)
{
    if (k < 0 || k >= deck.viewCount())
        return;
    deck.RemoveViewCard(k);
    const int n = deck.viewCount();
    if (n == 0) {
        deck.setCurrentCard(0, 0);
        return;
    }
    // After the last card: back to the previous unmarked card, then
    // forward from it, which wraps to the first one.
    deck.setCurrentCard(k, deck.side());
    if (k == n) {
        deck.setSide(0);
        study::stepBackward(deck);
    }
    // Forward as from side 2 of the card now at the gap: past it.
    if (deck.placeseek() != n) {
        deck.setSide(1);
        study::stepForward(deck);
    }
}

void copyCard(const Deck &deck, int k, CopyMemory &memory)
{
    if (k < 0 || k >= deck.viewCount())
        return;
    memory.side1 = deck.viewSide1(k);
    memory.side2 = deck.viewSide2(k);
    memory.cardinmemory = 1;
}

void cutCard(Deck &deck, int k, CopyMemory &memory)
{
    if (k < 0 || k >= deck.viewCount())
        return;
    if (!deck.takeViewCard(k, memory.side1, memory.side2))
        return;
    memory.cardinmemory = 1;
    const int n = deck.viewCount();
    if (n == 0) {
        deck.setCurrentCard(0, 0);
        return;
    }
    deck.setCurrentCard(k, deck.side());
    if (k == n) {
        deck.setSide(0);
        study::stepBackward(deck);
    }
    if (deck.placeseek() != n)
        deck.setSide(0);
}

PasteResult pasteCard(Deck &deck, const CopyMemory &memory)
{
    if (!memory.cardinmemory)
        return PasteResult::NothingCopied;
    const int at = deck.viewCount() == 0 ? 0 : std::clamp(deck.placeseek(), 0, deck.viewCount());
    if (!deck.insertViewCard(at, Deck::cleanText(memory.side1), Deck::cleanText(memory.side2)))
        return PasteResult::StoreFull;
    deck.setCurrentCard(at, deck.viewCount() == 1 ? 0 : deck.side());
    return PasteResult::Pasted;
}

bool undeleteCard(Deck &deck, int u) { return deck.undeleteCard(u); }

bool undeleteAll(Deck &deck) { return deck.undeleteAll(); }

int nextDeleted(const Deck &deck, int u)
{
    const int n = deck.deletedCount();
    return n == 0 ? 0 : (u + 1 >= n ? 0 : u + 1);
}

int previousDeleted(const Deck &deck, int u)
{
    const int n = deck.deletedCount();
    return n == 0 ? 0 : (u <= 0 ? n - 1 : u - 1);
}

QString labelText(const QString &text)
{
    return text.size() <= kLabelChars ? text : text.left(kLabelChars);
}

} // namespace mdk::edit
