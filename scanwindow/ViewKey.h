#pragma once

namespace ombrix {

// The keys a window's behaviour answers, as each toolkit delivers them.
enum class ViewKey { Other, Enter, Escape };

}  // namespace ombrix
