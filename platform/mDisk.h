#pragma once

#include <string>

#include "MountTable.h"

// Drives: their roots, listed in one NUL-separated text, and their types.
namespace ombrix::mDisk {

// The drive list (see MountTable::driveRoots).
std::string GetDriveRoots(const MountTable& table = MountTable());

// Cuts the first root off `list` and returns it; with no NUL in `list` the
// result is empty and `list` is left as it is.
std::string NextDriveRoot(std::string& list);

// The description of `root`'s drive type, for example "Hard drive; can not be removed".
std::string DriveTypeText(const std::string& root, const MountTable& table = MountTable());

// The root of the drive that holds `path` (see MountTable::driveRootOf).
std::string DriveRootOf(const std::string& path, const MountTable& table = MountTable());

}  // namespace ombrix::mDisk
