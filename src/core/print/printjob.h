#pragma once

#include <QString>

#include <vector>

namespace mdk {
class Deck;
}

namespace mdk::print {

// Which cards a job prints; the values of Options::Printonlythiscategory.
enum Scope : int { AllCards = 0, ThisCategory = 1, CategoryAndSubs = 2 };

inline const QString kCaption = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Print"));
inline const QString kNoCards = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "You must have at least one card to print."));
inline const QString kNoCardsInCategory = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "You must have at least one card in this category to print."));
inline const QString kNoCardsBelow =
    QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "You must have at least one card in this category or its sub-categories to print."));
inline const QString kCouldNotPrint = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "The cards could not be printed."));

// Cards on one page: 3 in card format, 23 in list format.
int cardsPerPage(bool cardFormat);
// Pages for cards cards, rounded up; no cards, no pages.
int pageCount(int cards, bool cardFormat);

// The start of the Print command, before its dialog: the view is always
// folded back (also with "Main" both open and selected, so that no edit is
// left out of an all-cards printout), then the category selected in the tree
// is opened as a click would open it. Never called in subcategory mode.
void beginPrintCommand(Deck &deck);

// The dialog's opening state. haveFoundCards: the view holds a card, or a
// descendant (any level) of the selected category holds a file-level card.
// scope: the saved choice, adjusted: an empty view with cards below turns
// "this category" into "this category and sub-categories"; nothing found
// turns any choice into "all cards". One pass over the deck.
struct DialogStart {
    bool haveFoundCards = false;
    int scope = AllCards;
};
DialogStart dialogStart(const Deck &deck, int savedScope);

// Why the chosen job cannot print (one of the messages above), or an empty
// text when there is something to print.
QString refusal(const Deck &deck, int scope, bool haveFoundCards);

// One card as a job prints it.
struct PrintCard {
    QString side1, side2;
};

// The cards a job of scope prints, in print order, read from the deck as
// the start of the Print command leaves it; the deck is not changed.
// AllCards: the file's cards in file order. ThisCategory: the view.
// CategoryAndSubs: the selected category's cards, then each descendant's in
// tree order, each category's in file order.
std::vector<PrintCard> cardsToPrint(const Deck &deck, int scope);

// The span of one job, printed, cancelled or refused by the print dialog:
// the cards it prints, and afterwards, for the sub-categories' job, the
// current card back to card 1 with no marks, as after a rebuilt view.
class JobScope {
public:
    JobScope(Deck &deck, int scope);
    ~JobScope();
    JobScope(const JobScope &) = delete;
    JobScope &operator=(const JobScope &) = delete;

    std::vector<PrintCard> cards() const { return cardsToPrint(deck_, scope_); }

private:
    Deck &deck_;
    int scope_ = AllCards;
};

// The first page's header: the file's display name, 15 spaces, the count.
QString headerText(const QString &displayName, int totalCards);

// The job's document title: the window title, or "Mnemodeck - Untitled".
QString documentTitle(const QString &windowTitle);

} // namespace mdk::print
