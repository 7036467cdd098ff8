#include "mDisk.h"

#include <array>

namespace ombrix::mDisk {

std::string GetDriveRoots(const MountTable& table)
{
    return table.driveRoots();
}

std::string NextDriveRoot(std::string& list)
{
    const auto end = list.find('\0');
    if (end == std::string::npos)
        return {};
    std::string root = list.substr(0, end);
    list.erase(0, end + 1);
    return root;
}

std::string DriveTypeText(const std::string& root, const MountTable& table)
{
    static constexpr std::array<const char*, 7> kTexts = {
        "The drive type cannot be determined",
        "The root directory does not exist",
        "Removable drive",
        "Hard drive; can not be removed",
        "Remote (network) drive",
        "CD-ROM drive",
        "RAM disk",
    };
    const int type = table.driveType(root);
    return type >= 0 && type < static_cast<int>(kTexts.size()) ? kTexts[static_cast<std::size_t>(type)] : "";
}

std::string DriveRootOf(const std::string& path, const MountTable& table)
{
    return table.driveRootOf(path);
}

}  // namespace ombrix::mDisk
