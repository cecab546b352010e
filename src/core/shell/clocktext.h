#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <optional>

namespace mdk::clock {

// "1:07 PM", "12:00 PM", "12:05 AM": 12-hour time, minutes with two digits.
QString timeText(QTime time);
// "12/6/1996": month/day/year without leading zeros.
QString dateText(QDate date);

// The status-bar clock: the time text changes only when the minute does,
// and the date whenever a new minute falls on another day than the one
// shown (midnight, or waking from a suspend).
class Clock {
public:
    struct Update {
        std::optional<QString> time;
        std::optional<QString> date;
    };

    // The texts to write for a tick at now; nothing when the minute is
    // the one already shown.
    Update tick(const QDateTime &now);

private:
    qint64 shownMinute_ = -1; // minutes since the epoch of the time shown; none yet
    QDate shownDate_;
};

} // namespace mdk::clock
