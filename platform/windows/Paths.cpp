#include "Paths.h"

#include <windows.h>

namespace ombrix {

std::string ProgramFolder()
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        // The name was cut to fit: ask again with more room.
        path.resize(path.size() * 2);
    }
    const auto last = path.rfind(kPathSeparator);
    return last == std::string::npos ? std::string() : path.substr(0, last);
}

}  // namespace ombrix
