#pragma once

#include <cstdint>
#include <string>

namespace ombrix {

// An option's stored text as a check-box value. A text that reads as a
// decimal number (blanks, tabs or line ends around it, an optional sign,
// digits with at most one decimal point) is off when the number is zero and
// the box's third state when it is two; anything else counts as on, like an
// absent option. Every stored option is read by this one rule.
std::int16_t OptionValue(const std::string& text);

}  // namespace ombrix
