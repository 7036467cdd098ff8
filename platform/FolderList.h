#pragma once

#include <string>
#include <vector>

namespace ombrix {

// The subfolders of `folder` as full paths (`folder`, one separator, the
// name), sorted by name as the platform's own listings sort it (bytewise on
// Linux, ignoring ASCII case on Windows). Hidden folders (on Linux, names
// starting with ".") and links are left out. Empty when the folder cannot be listed.
std::vector<std::string> ListSubfolders(const std::string& folder);

}  // namespace ombrix
