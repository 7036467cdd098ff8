#pragma once

#include <ctime>

namespace ombrix {

// The current local date and time, as the system's clock and time zone give it.
std::tm localNow();

}  // namespace ombrix
