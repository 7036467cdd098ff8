#pragma once

#include <string>

namespace ombrix {

// The one path separator. Every rule about a trailing separator, splitting a
// path or joining a child uses it.
inline constexpr char kPathSeparator = '/';

// Folder of the running executable with links resolved, without a trailing
// separator (empty when it cannot be found). ombrix.ini and the updater sit there.
std::string ProgramFolder();

}  // namespace ombrix
