#pragma once

#include <string>
#include <string_view>

namespace ombrix {

// A JSON string literal for raw bytes. Valid UTF-8 passes through; every byte
// that is not part of valid UTF-8 becomes \udcXX (XX its value), so a reader that
// maps U+DC80..U+DCFF back to bytes recovers the exact name.
std::string jsonString(std::string_view bytes);
void appendJsonString(std::string& out, std::string_view bytes);

}  // namespace ombrix
