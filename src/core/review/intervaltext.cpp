#include "intervaltext.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace mdk::review {

namespace {

QString number(double value)
{
    // Whole above 10 or when the tenth is 0: "2 mo", "1.5 mo", "12 mo".
    const double tenths = std::round(value * 10) / 10;
    if (tenths >= 10 || tenths == std::round(tenths))
        return QLocale().toString(qint64(std::llround(value)));
    return QLocale().toString(tenths, 'f', 1);
}

} // namespace

QString intervalText(qint64 milliseconds)
{
    const double minutes = double(std::max<qint64>(0, milliseconds)) / 60000.0;
    const double days = minutes / 1440;
    if (minutes < 59.5)
        return QCoreApplication::translate("Mnemodeck", "%1 min").arg(std::max<qint64>(1, std::llround(minutes)));
    if (minutes < 1440 - 30)
        return QCoreApplication::translate("Mnemodeck", "%1 h").arg(std::llround(minutes / 60));
    if (days < 30.5)
        return QCoreApplication::translate("Mnemodeck", "%1 d").arg(std::llround(days));
    if (days < 365)
        return QCoreApplication::translate("Mnemodeck", "%1 mo").arg(number(days / (365.25 / 12)));
    return QCoreApplication::translate("Mnemodeck", "%1 y").arg(number(days / 365.25));
}

} // namespace mdk::review
