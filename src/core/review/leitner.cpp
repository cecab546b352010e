#include "leitner.h"

#include <algorithm>

namespace mdk::review {

int intervalDays(int box)
{
    return 1 << (std::clamp(box, 1, kBoxes) - 1);
}

CardState answer(CardState state, bool knew, qint64 today)
{
    const int from = std::max(state.box, 1);
    CardState next;
    next.box = knew ? std::min(from + 1, kBoxes) : 1;
    next.dueDay = today + intervalDays(next.box);
    return next;
}

Clock systemClock()
{
    return [] { return QDateTime::currentDateTime(); };
}

qint64 dayOf(const QDateTime &time)
{
    return time.toLocalTime().date().toJulianDay();
}

qint64 dayOf(const QDateTime &time, int dayStartHour)
{
    const QDateTime local = time.toLocalTime();
    const qint64 day = local.date().toJulianDay();
    return local.time().hour() < dayStartHour ? day - 1 : day;
}

} // namespace mdk::review
