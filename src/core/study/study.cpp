#include "study.h"

#include <QCoreApplication>

namespace mdk::study {

namespace {

bool allMarked(const Deck &deck)
{
    const int n = deck.viewCount();
    if (deck.marks().GetCount() < n)
        return false;
    for (int k = 0; k < n; ++k)
        if (!deck.marks().isMarked(k))
            return false;
    return true;
}

// Moves placeseek by delta (+1 or -1) with wrap-around to the next
// unmarked card. One full pass without an unmarked card clears the marks,
// so the walk ends even when the marks disagree with the view.
void moveToUnmarked(Deck &deck, int delta)
{
    const int n = deck.viewCount();
    int card = deck.placeseek();
    for (int tries = 0; tries < n; ++tries) {
        card = (card + delta + n) % n;
        if (!deck.marks().isMarked(card)) {
            deck.setCurrentCard(card, deck.side());
            return;
        }
    }
    deck.clearMarks();
    deck.setCurrentCard((card + delta + n) % n, deck.side());
}

} // namespace

QString cardCaption(const Deck &deck)
{
    return QCoreApplication::translate("Mnemodeck", "Card ") + QString::number(deck.placeseek() + 1)
           + (deck.side() == 0 ? QCoreApplication::translate("Mnemodeck", ", side 1") : QCoreApplication::translate("Mnemodeck", ", side 2"));
}

QString cardPosition(const Deck &deck)
{
    if (deck.viewCount() == 0)
        return QCoreApplication::translate("Mnemodeck", "No card");
    return QCoreApplication::translate("Mnemodeck", "Card %1 of %2, side %3").arg(deck.placeseek() + 1).arg(deck.viewCount()).arg(deck.side() + 1);
}

void clearMarksIfAllMarked(Deck &deck)
{
    if (deck.viewCount() > 0 && allMarked(deck))
        deck.clearMarks();
}

void settle(Deck &deck)
{
    const int n = deck.viewCount();
    if (n == 0)
        return;
    if (deck.placeseek() < 0 || deck.placeseek() >= n)
        deck.setCurrentCard(0, deck.side());
    clearMarksIfAllMarked(deck);
    if (!deck.marks().isMarked(deck.placeseek()))
        return;
    // A marked card is never shown: on to the next unmarked card's side 1.
    moveToUnmarked(deck, +1);
    deck.setSide(0);
}

bool stepForward(Deck &deck)
{
    if (deck.viewCount() == 0)
        return false;
    if (deck.side() == 0) {
        deck.setSide(1);
        return true;
    }
    clearMarksIfAllMarked(deck);
    moveToUnmarked(deck, +1);
    deck.setSide(0);
    return true;
}

bool stepBackward(Deck &deck)
{
    if (deck.viewCount() == 0)
        return false;
    if (deck.side() == 1) {
        deck.setSide(0);
        return true;
    }
    clearMarksIfAllMarked(deck);
    moveToUnmarked(deck, -1);
    deck.setSide(1);
    return true;
}

namespace {

// From just past one end, a walk towards the other lands on the first
// unmarked card that way, with the same wrap and mark rules as a step.
bool goToEnd(Deck &deck, int delta)
{
    const int n = deck.viewCount();
    if (n == 0)
        return false;
    clearMarksIfAllMarked(deck);
    deck.setCurrentCard(delta > 0 ? n - 1 : 0, 0);
    moveToUnmarked(deck, delta);
    deck.setSide(0);
    return true;
}

} // namespace

bool goToFirst(Deck &deck) { return goToEnd(deck, +1); }

bool goToLast(Deck &deck) { return goToEnd(deck, -1); }

QString shownText(const Deck &deck)
{
    QString text;
    if (deck.placeseek() >= 0 && deck.placeseek() < deck.viewCount())
        text = deck.side() == 0 ? deck.viewSide1(deck.placeseek()) : deck.viewSide2(deck.placeseek());
    if (text.size() > kShownLimit)
        text.truncate(kShownLimit);
    return text;
}

MarkResult markCurrent(Deck &deck)
{
    if (deck.viewCount() == 0)
        return MarkResult::Empty;
    if (deck.marks().GetCount() + 1 >= deck.viewCount())
        return MarkResult::WouldMarkAll;
    deck.addMark(deck.placeseek());
    deck.setSide(1);
    stepForward(deck);
    return MarkResult::Marked;
}

void unmarkAll(Deck &deck) { deck.clearMarks(); }

int jumpNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        negative = text.at(i++) == QLatin1Char('-');
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text.at(i).unicode() - '0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX; // far out of range either way
    }
    return int(negative ? -value : value);
}

bool acceptJump(Deck &deck, int number)
{
    if (number < 1 || number > deck.viewCount()) {
        deck.setSide(0);
        return false;
    }
    deck.setCurrentCard(number - 1, 0);
    return true;
}

Information information(Deck &deck, const QString &fileName, const QString &filePath)
{
    if (!deck.showSubCategories())
        deck.WriteBackView();
    Information info;
    if (!fileName.isEmpty()) {
        info.fileName = fileName;
        info.location = filePath;
    }
    if (deck.fileCount() > 0) {
        info.totalCards = QString::number(deck.fileCount());
        info.markedCards = QString::number(deck.marks().GetCount());
        info.deletedCards = QString::number(deck.deletedCount());
    }
    info.totalCategories = QString::number(deck.tree().nodeCount());
    info.cardsInCategory = QString::number(deck.viewCount());
    return info;
}

} // namespace mdk::study
