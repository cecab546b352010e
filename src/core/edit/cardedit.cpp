#include "cardedit.h"

#include "core/study/study.h"

#include <algorithm>

namespace mdk::edit {

namespace {

// What an empty view shows.
void showNothing(Deck &deck)
{
    deck.Word = deck.Meaning = QStringLiteral(" ");
    deck.side = 0;
    deck.placeseek = 0;
}

} // namespace

bool addCard(Deck &deck, const QString &side1, const QString &side2)
{
    if (!deck.appendViewCard(Deck::cleanText(side1), Deck::cleanText(side2)))
        return false;
    deck.filehaschanged = 1;
    return true;
}

void editCard(Deck &deck, int k, const QString &side1, const QString &side2)
{
    if (deck.replaceViewCard(k, Deck::cleanText(side1), Deck::cleanText(side2)))
        deck.filehaschanged = 1;
}

bool mayDelete(const Deck &deck)
{
    const int n = deck.viewCount();
    const int marks = deck.Marks.GetCount();
    return n > 0 && (marks == 0 || n - marks > 1);
}

void deleteCard(Deck &deck, int k)
{
    if (k < 0 || k >= deck.viewCount())
        return;
    deck.placeseek = k;
    deck.RemoveViewCard(k);
    const int n = deck.viewCount();
    if (n == 0) {
        showNothing(deck);
        return;
    }
    // After the last card: back to the previous unmarked card, then
    // forward from it, which wraps to the first one.
    if (deck.placeseek == n) {
        deck.side = 0;
        study::stepBackward(deck);
    }
    // Forward as from side 2 of the card now at the gap: past it.
    if (deck.placeseek != n) {
        deck.side = 1;
        study::stepForward(deck);
    }
}

void copyCard(Deck &deck, int k)
{
    if (k < 0 || k >= deck.viewCount())
        return;
    deck.memorySide1 = deck.viewSide1(k);
    deck.memorySide2 = deck.viewSide2(k);
    deck.cardinmemory = 1;
}

void cutCard(Deck &deck, int k)
{
    if (k < 0 || k >= deck.viewCount())
        return;
    deck.placeseek = k;
    if (!deck.takeViewCard(k, deck.memorySide1, deck.memorySide2))
        return;
    deck.cardinmemory = 1;
    deck.Word = deck.memorySide1;
    deck.Meaning = deck.memorySide2;
    deck.filehaschanged = 1;
    const int n = deck.viewCount();
    if (n == 0) {
        showNothing(deck);
        return;
    }
    if (deck.placeseek == n) {
        deck.side = 0;
        study::stepBackward(deck);
    }
    if (deck.placeseek != n)
        deck.side = 0;
}

PasteResult pasteCard(Deck &deck)
{
    if (!deck.cardinmemory)
        return PasteResult::NothingCopied;
    const int at = deck.viewCount() == 0 ? 0 : std::clamp(deck.placeseek, 0, deck.viewCount());
    if (!deck.insertViewCard(at, Deck::cleanText(deck.memorySide1), Deck::cleanText(deck.memorySide2)))
        return PasteResult::StoreFull;
    deck.filehaschanged = 1;
    deck.placeseek = at;
    deck.Word = deck.viewSide1(at);
    deck.Meaning = deck.viewSide2(at);
    if (deck.viewCount() == 1)
        deck.side = 0;
    return PasteResult::Pasted;
}

bool undeleteCard(Deck &deck, int u)
{
    if (!deck.undeleteCard(u))
        return false;
    deck.filehaschanged = 1;
    return true;
}

bool undeleteAll(Deck &deck)
{
    const int before = deck.deletedCount();
    const bool all = deck.undeleteAll();
    if (deck.deletedCount() != before)
        deck.filehaschanged = 1;
    return all;
}

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
