#pragma once

#include <cstdint>
#include <string>

namespace ombrix {

// The file name at the end of `path` (the whole path when it holds no separator).
std::string fileNameOf(const std::string& path);

// A size as people read it: "512 bytes", "1.5 KB", "23 MB" (units of 1024).
std::string sizeText(std::uint64_t bytes);

// Local date and time, "2026-12-06 17:24:09", of nanoseconds since 1970-01-01 UTC.
std::string takenText(std::int64_t nanoseconds);

}  // namespace ombrix
