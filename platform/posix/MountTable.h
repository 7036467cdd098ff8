#pragma once

#include <string>
#include <vector>

// A drive is a mounted real file system; its root is the mount point with a
// trailing separator ("/" stays "/").
namespace ombrix::mDisk {

// Where the mount table and the kernel's device tree are read from. Tests
// point both at files of their own.
struct MountSource {
    std::string mountInfo = "/proc/self/mountinfo";
    std::string sysRoot = "/sys";
};

// One reading of the mount table. Read once and asked many times, so that
// filling a drive list does not re-read the table for every drive.
class MountTable {
public:
    // Reads the table; a table that cannot be read holds no mounts.
    explicit MountTable(const MountSource& source = {});

    // The roots of real file systems, sorted bytewise, each followed by a NUL,
    // the whole ended by one more NUL. Empty text when no drive was found.
    std::string driveRoots() const;

    // The platform's drive type code of `root`: 6 RAM disk, 5 CD-ROM,
    // 4 remote, 3 fixed, 2 removable, 1 not an existing mount-point folder,
    // 0 undetermined.
    int driveType(const std::string& root) const;

    // The root of the drive that holds `path` once links are resolved: the
    // longest mount point that is a whole-component prefix of it, with a
    // trailing separator. Empty when the table holds no mounts.
    std::string driveRootOf(const std::string& path) const;

private:
    struct Mount {
        std::string target;
        std::string fsType;
        std::string source;
        unsigned devMajor = 0;
        unsigned devMinor = 0;
        bool network = false;
    };

    bool isDrive(const Mount& mount) const;

    std::vector<Mount> mounts_;
    std::string sysRoot_;
};

}  // namespace ombrix::mDisk
