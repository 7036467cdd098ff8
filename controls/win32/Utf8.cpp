#include "VarnoButton/Utf8.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace ombrix {

std::wstring toWide(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), int(wide.size()))));
    return wide;
}

std::string toUtf8(const std::wstring& text)
{
    std::string narrow(text.size() * 3, '\0');
    narrow.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), narrow.data(),
                                             int(narrow.size()), nullptr, nullptr)));
    return narrow;
}

}  // namespace ombrix
