#include "platform/tdatetime.h"

#include <cmath>

QDate DayZero() { return QDate(1899, 12, 30); }

qint64 DayNumber(const QDate& date) { return DayZero().daysTo(date); }

qint64 TodayDayNumber() { return DayNumber(QDate::currentDate()); }

TDateTime ToTDateTime(const QDateTime& dt)
{
    const double days = static_cast<double>(DayNumber(dt.date()));
    const double frac = dt.time().msecsSinceStartOfDay() / 86400000.0;
    // Before day 0 the fraction still counts forward from midnight, but the
    // convention stores it with the sign of the whole part.
    return days >= 0 ? days + frac : days - frac;
}

QDateTime FromTDateTime(TDateTime value)
{
    const double whole = std::trunc(value);
    const double frac = std::fabs(value - whole);
    qint64 msecs = std::llround(frac * 86400000.0);
    qint64 day = static_cast<qint64>(whole);
    if (msecs >= 86400000) {  // rounding reached the next midnight
        msecs -= 86400000;
        day += 1;
    }
    return QDateTime(DayZero().addDays(day), QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs)));
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec,
                       QDateTime& out)
{
    // Years outside 1..9999 are refused as the stored convention does.
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second, msec))
        return false;
    out = QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec));
    return true;
}
