#pragma once

#include <cstddef>

namespace ombrix {

// Letter case is folded for A-Z only: other bytes, including those of non-ASCII
// names, compare as they are.
inline char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

inline void foldAscii(const char* in, std::size_t n, char* out)
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] = foldAscii(in[i]);
}

}  // namespace ombrix
