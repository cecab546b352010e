#pragma once

#include "core/deck/deck.h"

#include <QString>

// The card commands' rules on the deck: what each does to the view, the
// marks, the deleted cards, the copy memory and the current card. The
// dialogs only gather the texts; every text that enters the deck is cleaned
// of the characters a card file cannot hold.
namespace mdk::edit {

inline const QString kStoreFull =
    QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Cannot add this card.  Your file has exceeded the maximum possible size"));
inline const QString kUndeleteAllFull = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck",
    "Cannot undelete all the deleted cards.  Your file has exceeded the maximum possible size"));

// Add and Add another: appends the card to the open category's view; the
// current card stays. False (and nothing changes) when the store is full.
bool addCard(Deck &deck, const QString &side1, const QString &side2);

// Edit's Done: view card k takes the texts, keeping its place and mark.
void editCard(Deck &deck, int k, const QString &side1, const QString &side2);

// Whether Delete may run: a card to delete and, when cards are marked, at
// least two unmarked ones.
bool mayDelete(const Deck &deck);
// Delete of view card k (the card shown): it goes to the deleted cards,
// the marks above it move down, and the display steps on past the card
// that moved into the gap, wrapping after the last card.
void deleteCard(Deck &deck, int k);

// The copy memory: one card held for Paste. It belongs to the card
// commands, not to the deck, so it survives New and Open.
struct CopyMemory {
    QString side1, side2;
    int cardinmemory = 0; // a card was copied or cut since start
};

// Copy of view card k into the copy memory.
void copyCard(const Deck &deck, int k, CopyMemory &memory);
// Cut of view card k: into the copy memory, out of the view (not to the
// deleted cards); the card that moves into its place is shown, side 1, or
// after the last card the previous unmarked one.
void cutCard(Deck &deck, int k, CopyMemory &memory);

enum class PasteResult { NothingCopied, StoreFull, Pasted };
// Paste: the card in memory is inserted before the current card and
// becomes the current card; the side shown stays.
PasteResult pasteCard(Deck &deck, const CopyMemory &memory);

// Undelete of deleted card u: appended to the open category; the marks are
// cleared. False when the store is full (the deleted card stays).
bool undeleteCard(Deck &deck, int u);
// Undelete all, oldest first; false when the store filled up before the
// last one (the rest stay deleted).
bool undeleteAll(Deck &deck);

// The undelete dialog's arrows: the next and previous deleted card,
// wrapping at both ends.
int nextDeleted(const Deck &deck, int u);
int previousDeleted(const Deck &deck, int u);

// The confirmation of Delete for the rest of the run: once "Don't ask in
// the future" was ticked and the dialog answered Yes or No, Delete no
// longer asks. Never saved.
class DeleteConfirmation {
public:
    bool shouldAsk() const { return askinfuture_ == 0; }
    // The dialog closed with Yes or No; Escape and the close box record
    // nothing.
    void answered(bool dontAskTicked)
    {
        if (dontAskTicked)
            askinfuture_ = 2;
    }
    int askinfuture() const { return askinfuture_; }

private:
    int askinfuture_ = 0;
};

// What a dialog's label shows of a card side: the first kLabelChars
// characters, so that a huge card's dialog opens at once.
inline constexpr int kLabelChars = 1000;
QString labelText(const QString &text);

} // namespace mdk::edit
