#pragma once

#include <QString>
#include <QtGlobal>

namespace mdk::review {

// How long until a card comes back, as a grade's button shows it:
// "10 min", "5 h", "3 d", "2 mo", "1.5 y" (rounded; months and years with
// one decimal below 10 when it is not 0).
QString intervalText(qint64 milliseconds);

} // namespace mdk::review
