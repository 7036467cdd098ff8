#pragma once

#include <string>

namespace ombrix {

// The system's own words for a Windows error code, without the line end.
std::string ErrorText(unsigned long error);

}  // namespace ombrix
