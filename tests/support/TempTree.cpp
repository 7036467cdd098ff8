#include "TempTree.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

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

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string takeFile(const std::string& path)
{
    std::string text = readFile(path);
    for (int i = 0; i < 1000 && text.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        text = readFile(path);
    }
    std::remove(path.c_str());
    return text;
}

}  // namespace ombrix::test
