#include "MountTable.h"

#include <libmount/libmount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>
#include <system_error>

namespace ombrix::mDisk {

namespace {

constexpr int kUndetermined = 0;
constexpr int kNoRootDir = 1;
constexpr int kRemovable = 2;
constexpr int kFixed = 3;
constexpr int kRemote = 4;
constexpr int kCdRom = 5;
constexpr int kRamDisk = 6;

constexpr std::array kPseudoFileSystems = {
    "proc",       "sysfs",     "devtmpfs", "devpts",      "cgroup",   "cgroup2",   "securityfs",
    "debugfs",    "tracefs",   "configfs", "pstore",      "bpf",      "mqueue",    "hugetlbfs",
    "fusectl",    "binfmt_misc", "autofs", "efivarfs",    "nsfs",     "rpc_pipefs", "squashfs",
};

constexpr std::array kRemoteFileSystems = {
    "nfs",  "nfs4",      "cifs",  "smb3",   "smbfs", "sshfs", "9p",   "ceph", "glusterfs",
    "davfs", "afs",      "ncpfs", "coda",   "ocfs2", "gfs2",  "lustre", "curlftpfs", "s3fs",
};

// Below these folders the system keeps its scratch space (tmpfs) and desktop
// services mount FUSE file systems that show other places (gvfs, the document
// portal). Real file systems there are drives: removable media under /run/media.
constexpr std::array kSystemFolders = {"/run", "/dev", "/sys", "/proc"};

// File systems that hold no data of their own: memory, layers over other
// folders, and FUSE services without a block device (fuseblk has one).
bool isVirtual(std::string_view fsType)
{
    return fsType == "tmpfs" || fsType == "ramfs" || fsType == "overlay" || fsType == "fuse" ||
           fsType.starts_with("fuse.");
}

template <std::size_t N>
bool isOneOf(std::string_view name, const std::array<const char*, N>& names)
{
    return std::any_of(names.begin(), names.end(), [name](const char* each) { return name == each; });
}

bool isAtOrBelow(std::string_view path, std::string_view folder)
{
    if (folder == "/")
        return true;
    return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

// "fuse.sshfs" names the file system "sshfs"; plain types are their own name.
std::string_view baseType(std::string_view fsType)
{
    for (std::string_view prefix : {"fuse.", "fuseblk."}) {
        if (fsType.starts_with(prefix))
            return fsType.substr(prefix.size());
    }
    return fsType;
}

std::string withTrailingSeparator(const std::string& mountPoint)
{
    return mountPoint == "/" ? mountPoint : mountPoint + '/';
}

std::string withoutTrailingSeparator(std::string root)
{
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root;
}

bool isExistingFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string firstLineOf(const std::string& path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

// The kernel's folder for a block device; it exists only for block devices.
std::string blockDeviceFolder(const std::string& sysRoot, unsigned devMajor, unsigned devMinor)
{
    return sysRoot + "/dev/block/" + std::to_string(devMajor) + ':' + std::to_string(devMinor);
}

struct TableDeleter {
    void operator()(libmnt_table* table) const { mnt_unref_table(table); }
};
struct IterDeleter {
    void operator()(libmnt_iter* iter) const { mnt_free_iter(iter); }
};

}  // namespace

MountTable::MountTable(const MountSource& source) : sysRoot_(source.sysRoot)
{
    std::unique_ptr<libmnt_table, TableDeleter> table(mnt_new_table_from_file(source.mountInfo.c_str()));
    std::unique_ptr<libmnt_iter, IterDeleter> iter(mnt_new_iter(MNT_ITER_FORWARD));
    if (!table || !iter)
        return;
    libmnt_fs* fs = nullptr;
    while (mnt_table_next_fs(table.get(), iter.get(), &fs) == 0) {
        const char* target = mnt_fs_get_target(fs);
        if (!target || target[0] != '/')
            continue;
        const char* fsType = mnt_fs_get_fstype(fs);
        const char* fsSource = mnt_fs_get_source(fs);
        const dev_t devno = mnt_fs_get_devno(fs);
        mounts_.push_back({target, fsType ? fsType : "", fsSource ? fsSource : "", major(devno), minor(devno),
                           mnt_fs_is_netfs(fs) != 0});
    }
}

bool MountTable::isDrive(const Mount& mount) const
{
    const std::string_view type = baseType(mount.fsType);
    if (isOneOf(type, kPseudoFileSystems))
        return false;
    const bool inSystemFolder = std::any_of(kSystemFolders.begin(), kSystemFolders.end(),
                                            [&](const char* folder) { return isAtOrBelow(mount.target, folder); });
    return !inSystemFolder || !isVirtual(mount.fsType);
}

std::string MountTable::driveRoots() const
{
    std::vector<std::string> roots;
    for (const Mount& mount : mounts_) {
        if (isDrive(mount))
            roots.push_back(withTrailingSeparator(mount.target));
    }
    if (roots.empty())
        return {};
    std::sort(roots.begin(), roots.end());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    std::string list;
    for (const std::string& root : roots) {
        list += root;
        list += '\0';
    }
    list += '\0';
    return list;
}

int MountTable::driveType(const std::string& root) const
{
    const std::string mountPoint = withoutTrailingSeparator(root);
    if (!isExistingFolder(mountPoint))
        return kNoRootDir;
    // The last mount on a folder is the one that is seen there.
    const auto found = std::find_if(mounts_.rbegin(), mounts_.rend(),
                                    [&](const Mount& mount) { return mount.target == mountPoint; });
    if (found == mounts_.rend())
        return kNoRootDir;

    const Mount& mount = *found;
    const std::string_view type = baseType(mount.fsType);
    if (type == "tmpfs" || type == "ramfs")
        return kRamDisk;
    if (mount.network || isOneOf(type, kRemoteFileSystems))
        return kRemote;
    const std::string_view deviceName = std::string_view(mount.source).substr(mount.source.rfind('/') + 1);
    if (type == "iso9660" || type == "udf" || (mount.source.starts_with("/dev/") && deviceName.starts_with("sr")))
        return kCdRom;

    // Some file systems (btrfs, fuseblk) report an anonymous device number; the
    // mounted device file then names the real one.
    unsigned devMajor = mount.devMajor;
    unsigned devMinor = mount.devMinor;
    struct stat device {};
    if (devMajor == 0 && mount.source.starts_with('/') && ::stat(mount.source.c_str(), &device) == 0 &&
        S_ISBLK(device.st_mode)) {
        devMajor = major(device.st_rdev);
        devMinor = minor(device.st_rdev);
    }
    const std::string folder = blockDeviceFolder(sysRoot_, devMajor, devMinor);
    std::error_code error;
    if (devMajor == 0 || !std::filesystem::is_directory(folder, error))
        return kUndetermined;
    // A partition's folder holds no "removable" flag; its disk's folder, the parent, does.
    std::string removable = firstLineOf(folder + "/removable");
    if (removable.empty())
        removable = firstLineOf(folder + "/../removable");
    return removable == "1" ? kRemovable : kFixed;
}

// Without a mount table the drive is found the way the walk sees drives: the
// highest folder above `resolved` that is still on the same file system.
std::string mountPointByDevice(const std::string& resolved)
{
    struct stat st;
    if (::stat(resolved.c_str(), &st) != 0)
        return {};
    std::filesystem::path top = resolved;
    while (top.has_relative_path()) {
        struct stat parent;
        const auto up = top.parent_path();
        if (::stat(up.c_str(), &parent) != 0 || parent.st_dev != st.st_dev)
            break;
        top = up;
    }
    return top.string();
}

std::string MountTable::driveRootOf(const std::string& path) const
{
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    if (path.empty() || error)
        return {};
    std::string resolved = std::filesystem::weakly_canonical(absolute, error).string();
    if (error)
        return {};
    resolved = withoutTrailingSeparator(resolved);
    const Mount* best = nullptr;
    for (const Mount& mount : mounts_) {
        if (isAtOrBelow(resolved, mount.target) && (!best || mount.target.size() > best->target.size()))
            best = &mount;
    }
    if (best)
        return withTrailingSeparator(best->target);
    const std::string byDevice = mountPointByDevice(resolved);
    return byDevice.empty() ? std::string() : withTrailingSeparator(byDevice);
}

}  // namespace ombrix::mDisk
