#include "printout.h"

#include "core/deck/deck.h"
#include "core/print/printjob.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace mdk::print {

Printout::Printout(const Deck &deck, bool allCards, bool cardFormat, const QString &displayName, const LogFont &cardFont)
    : deck_(deck), allCards_(allCards), cardFormat_(cardFormat), displayName_(displayName), cardFont_(cardFont)
{
}

int Printout::cardCount() const
{
    return allCards_ ? deck_.fileCount() : deck_.viewCount();
}

int Printout::pageCount() const
{
    return print::pageCount(cardCount(), cardFormat_);
}

void Printout::drawPage(QPainter &, int) const
{
}

Printout::Outcome Printout::print(QPagedPaintDevice &, const std::function<bool(int, int)> &) const
{
    return Outcome::Failed;
}

} // namespace mdk::print
