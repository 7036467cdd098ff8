#include "LocalTime.h"

#include <windows.h>

namespace ombrix {

std::tm localNow()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::tm parts{};
    parts.tm_year = now.wYear - 1900;
    parts.tm_mon = now.wMonth - 1;
    parts.tm_mday = now.wDay;
    parts.tm_hour = now.wHour;
    parts.tm_min = now.wMinute;
    parts.tm_sec = now.wSecond;
    parts.tm_wday = now.wDayOfWeek;
    return parts;
}

std::tm localTime(std::time_t when)
{
    std::tm parts{};
    localtime_s(&parts, &when);
    return parts;
}

}  // namespace ombrix
