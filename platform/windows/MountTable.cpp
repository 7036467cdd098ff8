#include "MountTable.h"

#include <windows.h>

namespace ombrix::mDisk {

std::string MountTable::driveRoots() const
{
    // Room for 25 drives; a longer list is not delivered, only the size it needs.
    constexpr DWORD kLength = 104;
    std::string buffer(kLength, ' ');
    const DWORD written = GetLogicalDriveStringsA(kLength, buffer.data());
    if (written == 0 || written >= kLength)
        return {};
    // `written` leaves out the NUL that ends the list.
    buffer.resize(written + 1);
    return buffer;
}

int MountTable::driveType(const std::string& root) const
{
    return static_cast<int>(GetDriveTypeA(root.c_str()));
}

std::string MountTable::driveRootOf(const std::string& path) const
{
    return path.empty() ? std::string() : path.substr(0, 2) + '\\';
}

}  // namespace ombrix::mDisk
