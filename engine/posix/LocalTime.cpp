#include "LocalTime.h"

namespace ombrix {

std::tm localNow()
{
    return localTime(std::time(nullptr));
}

std::tm localTime(std::time_t when)
{
    std::tm parts{};
    localtime_r(&when, &parts);
    return parts;
}

}  // namespace ombrix
