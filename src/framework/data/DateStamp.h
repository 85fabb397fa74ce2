#pragma once

#include <QDate>
#include <QDateTime>
#include <QtGlobal>

// Dates in record buffers are day numbers of the framework's time stamps: 1 January of the
// year 1 (proleptic Gregorian) is day 1. Day 0 and below name no date.
namespace DateStamp {

// The day number of a date; 0 for an invalid date or one before the year 1.
qint32 DayNumber(const QDate& date);
// The date of a day number; an invalid date for day numbers below 1 or beyond the calendar.
QDate FromDayNumber(qint32 dayNumber);

// Date and time values as milliseconds since the start of day 0 (the time stamp's day
// number times a day's milliseconds plus the time of day).
double MSecs(const QDateTime& value);
// An invalid date-time for values that name no day.
QDateTime FromMSecs(double msecs);

} // namespace DateStamp
