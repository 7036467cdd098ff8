#pragma once

namespace ombrix {

// The one path separator. Every rule about a trailing separator, splitting a
// path or joining a child uses it.
inline constexpr char kPathSeparator = '\\';

}  // namespace ombrix
