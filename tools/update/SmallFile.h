#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace ombrix::update {

// The bytes of the regular file at `path`, at most `maxBytes`, opened so that a
// FIFO or device there cannot block the updater. nullopt when there is none:
// `why` is then empty when no such file exists, else it says what is wrong.
// With `followLink` false a symbolic link there is refused, not followed, so a
// link planted in the updater's own folder cannot make it read another file.
std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t maxBytes, bool followLink,
                                         std::string& why);

}  // namespace ombrix::update
