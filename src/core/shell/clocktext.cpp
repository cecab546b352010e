#include "clocktext.h"

namespace mdk::clock {

QString timeText(QTime time)
{
    const int hour = time.hour();
    const int minute = time.minute();
    const int shownHour = hour > 12 ? hour - 12 : (hour == 0 ? 12 : hour);
    return QString::number(shownHour) + QLatin1Char(':') + (minute < 10 ? QStringLiteral("0") : QString())
           + QString::number(minute) + (hour >= 12 ? QStringLiteral(" PM") : QStringLiteral(" AM"));
}

QString dateText(QDate date)
{
    return QStringLiteral("%1/%2/%3").arg(date.month()).arg(date.day()).arg(date.year());
}

Clock::Update Clock::tick(const QDateTime &now)
{
    Update update;
    const QTime t = now.time();
    // The whole minute counts, not only its number: after a suspend the
    // same minute number can come back an hour or a day later.
    const qint64 minute = now.toSecsSinceEpoch() / 60;
    if (minute == shownMinute_)
        return update;
    update.time = timeText(t);
    if (now.date() != shownDate_)
        update.date = dateText(now.date());
    shownMinute_ = minute;
    shownDate_ = now.date();
    return update;
}

} // namespace mdk::clock
