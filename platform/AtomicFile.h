#pragma once

#include <string>
#include <string_view>

namespace ombrix {

// Makes `path` hold `bytes`, whole or not at all: they are written to a new
// file in the same folder, flushed to the disk and renamed over `path`, so a
// reader (or a crash) sees either the old content or the new, never a part.
// The new file is readable by all, as a collector running as another user
// needs. Empty on success, else why it failed (the old file is left as it was).
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace ombrix
