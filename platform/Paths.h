#pragma once

#include <string>

#include "PathSeparator.h"

namespace ombrix {

// Folder of the running executable (on Linux with links resolved), without a
// trailing separator; empty when it cannot be found. ombrix.ini and the
// updater sit there.
std::string ProgramFolder();

}  // namespace ombrix
