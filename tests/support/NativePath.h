#pragma once

#include <string>

#include "Paths.h"

namespace ombrix::test {

// Test cases spell paths with "/"; this gives them the platform's own separator.
inline std::string native(std::string path)
{
    for (char& c : path) {
        if (c == '/')
            c = kPathSeparator;
    }
    return path;
}

}  // namespace ombrix::test
