#pragma once

#include <string>

namespace ombrix {

// The system's own words for a Windows error code, without the line end, in the
// code page of the process's console (a terminal tool prints them there), or in
// the system code page when it has none (a window shows them).
std::string ErrorText(unsigned long error);

}  // namespace ombrix
