#include "EntryTexts.h"

#include <array>
#include <cmath>
#include <ctime>

#include "LocalTime.h"
#include "Paths.h"
#include "Text.h"

namespace ombrix {

std::string fileNameOf(const std::string& path)
{
    const std::size_t last = path.rfind(kPathSeparator);
    return last == std::string::npos ? path : path.substr(last + 1);
}

std::string sizeText(std::uint64_t bytes)
{
    if (bytes < 1024)
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    constexpr std::array<const char*, 5> kUnits = {"KB", "MB", "GB", "TB", "PB"};
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    // What would show as "1024 KB" is "1 MB".
    while (value >= 1023.95 && unit + 1 < kUnits.size()) {
        value /= 1024;
        ++unit;
    }
    // One decimal below 10 of a unit, where it still tells sizes apart.
    const long long tenths = std::llround(value * 10);
    const std::string number = tenths < 100 && tenths % 10 != 0
                                   ? std::to_string(tenths / 10) + "." + std::to_string(tenths % 10)
                                   : std::to_string(std::llround(value));
    return number + " " + kUnits[unit];
}

std::string takenText(std::int64_t nanoseconds)
{
    const std::tm when = localTime(static_cast<std::time_t>(nanoseconds / 1'000'000'000));
    return dateText(when) + " " + timeText(when);
}

}  // namespace ombrix
