#pragma once

#include <string>

namespace ombrix {

// The folder part of `path`, ending in the separator: every separator-delimited
// part but the last, each followed by the separator. A final separator is
// dropped first, so a folder path gives its parent; a bare name gives "".
std::string FolderOfPath(const std::string& path);

}  // namespace ombrix
