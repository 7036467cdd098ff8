#include "LocalTime.h"

namespace ombrix {

std::tm localNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return parts;
}

}  // namespace ombrix
