#pragma once

#include <string>

// A drive is a drive letter; its root is the letter, a colon and a backslash ("C:\").
namespace ombrix::mDisk {

// The system keeps the drive table, so every call asks it afresh; the type
// exists so that callers read alike on every platform.
class MountTable {
public:
    // The roots in the system's order (by letter), each followed by a NUL,
    // the whole ended by one more NUL. Empty text when the drives cannot be
    // listed or their list needs more than 104 characters (26 drives).
    std::string driveRoots() const;

    // The system's drive type code of `root` (GetDriveTypeA).
    int driveType(const std::string& root) const;

    // The root of the drive that holds `path`: its first two characters
    // followed by "\", as they are even when they are no drive letter.
    // Empty for an empty path.
    std::string driveRootOf(const std::string& path) const;
};

}  // namespace ombrix::mDisk
