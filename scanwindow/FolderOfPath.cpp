#include "FolderOfPath.h"

#include <string_view>

#include "Paths.h"

namespace ombrix {

std::string FolderOfPath(const std::string& path)
{
    std::string_view rest = path;
    if (!rest.empty() && rest.back() == kPathSeparator)
        rest.remove_suffix(1);
    const std::size_t last = rest.rfind(kPathSeparator);
    if (last == std::string_view::npos)
        return {};
    return std::string(rest.substr(0, last + 1));
}

}  // namespace ombrix
