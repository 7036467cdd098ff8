#pragma once

#include <cstddef>
#include <string_view>

namespace ombrix {

// Length of the valid UTF-8 sequence starting at `s[i]`, or 0 when there is
// none: overlong forms, UTF-16 surrogates and values past U+10FFFF are not valid.
std::size_t utf8SequenceLength(std::string_view s, std::size_t i);

}  // namespace ombrix
