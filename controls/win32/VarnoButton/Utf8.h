#pragma once

#include <string>

namespace ombrix {

// The button keeps text in UTF-8; Windows' wide functions take UTF-16.
std::wstring toWide(const std::string& text);
std::string toUtf8(const std::wstring& text);

}  // namespace ombrix
