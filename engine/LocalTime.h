#pragma once

#include <ctime>

namespace ombrix {

// The current local date and time, as the system's clock and time zone give it.
std::tm localNow();

// The local date and time at `when`, in the system's time zone.
std::tm localTime(std::time_t when);

}  // namespace ombrix
