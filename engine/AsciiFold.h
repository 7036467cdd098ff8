#pragma once

namespace ombrix {

// Letter case is folded for A-Z only: other bytes, including those of non-ASCII
// names, compare as they are.
inline char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

}  // namespace ombrix
