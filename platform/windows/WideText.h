#pragma once

#include <string>
#include <string_view>

namespace ombrix {

// Text in the system code page as the wide text the system's own calls take.
std::wstring wide(std::string_view text);

}  // namespace ombrix
