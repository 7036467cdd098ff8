#pragma once

namespace ombrix {

// Keys a window acts on, whatever the toolkit calls them.
enum class FormKey { Enter, Escape, Delete, Menu, Refresh };

}  // namespace ombrix
