#pragma once

#include <memory>

namespace ombrix {

// The list's tables come from the ordinary heap: its first touch of a page costs
// little enough here that no larger pages are asked for.
template <class T>
using LargePageAllocator = std::allocator<T>;

}  // namespace ombrix
