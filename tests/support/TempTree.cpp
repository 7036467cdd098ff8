#include "TempTree.h"

#include "Paths.h"

namespace ombrix::test {

std::string TempTree::path(std::string_view relative) const
{
    std::string full = root_ + kPathSeparator;
    for (const char c : relative)
        full.push_back(c == '/' ? kPathSeparator : c);
    return full;
}

void TempTree::file(std::string_view relative, std::string_view content) const
{
    makeParents(relative);
    writeFile(path(relative), content);
}

}  // namespace ombrix::test
