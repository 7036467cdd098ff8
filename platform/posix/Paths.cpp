#include "Paths.h"

#include <filesystem>
#include <system_error>

namespace ombrix {

std::string ProgramFolder()
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return exe.parent_path().string();
}

}  // namespace ombrix
