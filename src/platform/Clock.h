#pragma once

#include <cstdint>

// The local calendar date and time as the system clock gives them.
struct SYSTEMTIME {
    uint16_t wYear;
    uint16_t wMonth;     // 1-12
    uint16_t wDayOfWeek; // 0 = Sunday
    uint16_t wDay;       // 1-31
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};

void GetLocalTime(SYSTEMTIME* time);
