#include "framework/data/DateStamp.h"

#include <cmath>

namespace DateStamp {

namespace {
constexpr qint64 MSecsPerDay = 86400000;

qint64 firstJulianDay() {
    static const qint64 day = QDate(1, 1, 1).toJulianDay();
    return day;
}
} // namespace

qint32 DayNumber(const QDate& date) {
    if (!date.isValid() || date.year() < 1)
        return 0;
    const qint64 n = date.toJulianDay() - firstJulianDay() + 1;
    return n > 0 && n <= INT32_MAX ? static_cast<qint32>(n) : 0;
}

QDate FromDayNumber(qint32 dayNumber) {
    if (dayNumber < 1)
        return {};
    // The calendar of the time stamps ends with the year 9999.
    const QDate date = QDate::fromJulianDay(firstJulianDay() + dayNumber - 1);
    return date.isValid() && date.year() <= 9999 ? date : QDate();
}

double MSecs(const QDateTime& value) {
    const qint32 day = DayNumber(value.date());
    if (day == 0)
        return 0;
    return double(day) * MSecsPerDay + value.time().msecsSinceStartOfDay();
}

QDateTime FromMSecs(double msecs) {
    if (!std::isfinite(msecs) || msecs < MSecsPerDay || msecs > double(INT32_MAX) * MSecsPerDay)
        return {};
    const auto whole = static_cast<qint64>(msecs);
    const QDate date = FromDayNumber(static_cast<qint32>(whole / MSecsPerDay));
    if (!date.isValid())
        return {};
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(whole % MSecsPerDay)));
}

} // namespace DateStamp
