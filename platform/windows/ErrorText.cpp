#include "ErrorText.h"

#include <windows.h>

#include <string_view>

namespace ombrix {

std::string ErrorText(unsigned long error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring_view words(text, length);
    // Without its closing full stop the text reads inside a sentence, as the C library's do.
    while (!words.empty() &&
           (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ' || words.back() == L'.'))
        words.remove_suffix(1);
    std::string out;
    if (words.empty()) {
        out = "error " + std::to_string(error);
    } else {
        // A piped console reports no code page on some systems: the system's then.
        const UINT console = GetConsoleOutputCP();
        const UINT page = console ? console : CP_ACP;
        const int size = WideCharToMultiByte(page, 0, words.data(), int(words.size()), nullptr, 0, nullptr, nullptr);
        out.resize(std::size_t(size));
        WideCharToMultiByte(page, 0, words.data(), int(words.size()), out.data(), size, nullptr, nullptr);
    }
    LocalFree(text);
    return out;
}

}  // namespace ombrix
