#include "storage/dbase/DbfLayout.h"

#include "framework/data/DateStamp.h"
#include "platform/Clock.h"

#include <climits>
#include <cmath>

namespace dbflayout {

bool parseInteger(QByteArrayView text, qint64 low, qint64 high, qint64& value) {
    int i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i >= text.size())
        return false;
    qint64 v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        v = v * 10 + (text[i] - '0');
        if (v > qint64(INT_MAX) + 1)
            return false;
    }
    v = negative ? -v : v;
    if (v < low || v > high)
        return false;
    value = v;
    return true;
}

int intOr(const QByteArray& text, int fallback) {
    qint64 v = 0;
    return parseInteger(text, INT_MIN, INT_MAX, v) ? int(v) : fallback;
}

double floatOr0(const QByteArray& text) {
    // Only plain decimal numbers: the number reader would also take "inf" and "nan".
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return 0;
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

namespace {

int currentCentury() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now.wYear / 100 * 100;
}

} // namespace

int dateOfText(const QByteArray& text) {
    const QByteArray yearText = text.left(4);
    int day = intOr(text.mid(6, 2), 1);
    int month = intOr(text.mid(4, 2), 1);
    int year = intOr(yearText, 0);
    day = day == 0 ? 1 : day;
    month = month == 0 ? 1 : month;
    const int yearDigits = int(yearText.trimmed().size());
    if (year >= 0 && year < 100 && (yearDigits == 1 || yearDigits == 2))
        year += currentCentury();
    // The time stamps' calendar ends with the year 9999.
    return year <= 9999 ? DateStamp::DayNumber(QDate(year, month, day)) : 0;
}

QByteArray textOfDate(int dayNumber) {
    const QDate date = DateStamp::FromDayNumber(dayNumber);
    if (!date.isValid())
        return QByteArray();
    return QString::asprintf("%04d%02d%02d", date.year(), date.month(), date.day()).toLatin1();
}

} // namespace dbflayout
