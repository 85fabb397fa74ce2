#include "platform/Clock.h"

#include <ctime>
#include <sys/time.h>

void GetLocalTime(SYSTEMTIME* time) {
    timeval now{};
    gettimeofday(&now, nullptr);
    std::tm local{};
    const time_t seconds = now.tv_sec;
    localtime_r(&seconds, &local);
    time->wYear = uint16_t(local.tm_year + 1900);
    time->wMonth = uint16_t(local.tm_mon + 1);
    time->wDayOfWeek = uint16_t(local.tm_wday);
    time->wDay = uint16_t(local.tm_mday);
    time->wHour = uint16_t(local.tm_hour);
    time->wMinute = uint16_t(local.tm_min);
    time->wSecond = uint16_t(local.tm_sec);
    time->wMilliseconds = uint16_t(now.tv_usec / 1000);
}
