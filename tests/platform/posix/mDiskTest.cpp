#include "mDisk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "TempTree.h"

namespace ombrix::mDisk {
namespace {

using test::TempTree;

// A fake machine: a mount table naming mount points inside a temporary folder
// and a kernel device tree with one fixed and one removable disk.
class FakeMachine : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* folder : {"ram", "usb", "cd", "net", "ssh", "overlay", "disk", "sr", "my disk", "Zip"})
            temp.dir(std::string("mnt/") + folder);
        // A partition's "removable" flag sits on its disk, the folder above it.
        temp.file("sys/devices/sda/removable", "0\n");
        temp.file("sys/devices/sdb/removable", "1\n");
        temp.dir("sys/devices/sda/sda1");
        temp.dir("sys/devices/sdb/sdb1");
        temp.symlink("sys/dev/block/8:1", temp.path("sys/devices/sda/sda1"));
        temp.symlink("sys/dev/block/8:17", temp.path("sys/devices/sdb/sdb1"));
    }

    std::string mnt(const std::string& name) const { return temp.path("mnt/" + name); }

    MountTable machine() const
    {
        const std::string m = temp.path("mnt");
        const std::vector<std::string> lines = {
            "8:1 / / rw - ext4 /dev/sda1 rw",
            "0:20 / /proc rw - proc proc rw",
            "0:22 / /dev/shm rw - tmpfs tmpfs rw",
            "0:25 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw",
            "8:49 / /run/media/me/STICK rw - vfat /dev/sdd1 rw",
            // File systems with an anonymous device number are still drives there.
            "0:50 / /run/media/me/BTRFS rw - btrfs /dev/sde1 rw",
            "0:51 / /run/media/me/POOL rw - zfs pool/stick rw",
            "0:53 / /run/media/me/NTFS rw - fuseblk /dev/sdg1 rw",
            "0:54 / /run/user/1000/doc rw - fuse.portal portal rw",
            "0:56 / /run/containers/c1 rw - overlay overlay rw",
            "0:57 / /run/user/1000/plain rw - fuse something rw",
            "7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro",
            "0:26 / " + m + "/ram rw - tmpfs tmpfs rw",
            "8:17 / " + m + "/usb rw - vfat /dev/sdb1 rw",
            "11:0 / " + m + "/cd ro - iso9660 /dev/sr0 ro",
            "11:0 / " + m + "/sr ro - ext2 /dev/sr0 ro",
            "0:40 / " + m + "/net rw - nfs4 server:/export rw",
            "0:41 / " + m + "/ssh rw - fuse.sshfs me@host: rw",
            "0:42 / " + m + "/overlay rw - overlay overlay rw",
            "8:1 /home " + m + "/my\\040disk rw - ext4 /dev/sda1 rw",
            "8:1 / " + m + "/Zip rw - ext4 /dev/sda1 rw",
            "8:1 / " + m + "/Zip rw - ext4 /dev/sda1 rw",
            "8:33 / " + m + "/gone rw - ext4 /dev/sdc1 rw",
        };
        std::string text;
        int id = 20;
        for (const std::string& line : lines)
            text += std::to_string(id++) + " 1 " + line + '\n';
        temp.file("mountinfo", text);
        return MountTable({temp.path("mountinfo"), temp.path("sys")});
    }

    TempTree temp;
};

TEST_F(FakeMachine, listsRealFileSystemsSortedBytewiseOnceEachEndedByAnExtraNul)
{
    std::vector<std::string> roots{"/", "/run/media/me/BTRFS/", "/run/media/me/NTFS/",
                                   "/run/media/me/POOL/", "/run/media/me/STICK/"};
    for (const char* root : {"Zip", "cd", "gone", "my disk", "net", "overlay", "ram", "sr", "ssh", "usb"})
        roots.push_back(mnt(root) + '/');
    std::sort(roots.begin(), roots.end());
    std::string expected;
    for (const std::string& root : roots)
        expected += root + '\0';
    std::string list = GetDriveRoots(machine());
    EXPECT_EQ(list, expected + '\0');
    EXPECT_EQ(NextDriveRoot(list), roots[0]);
    EXPECT_EQ(NextDriveRoot(list), roots[1]);
    EXPECT_EQ(list, expected.substr(roots[0].size() + roots[1].size() + 2) + '\0');
    std::string noNul = "/media";
    EXPECT_EQ(NextDriveRoot(noNul), "");
    EXPECT_EQ(noNul, "/media");
}

TEST_F(FakeMachine, unreadableTableGivesNoDrives)
{
    const MountTable missing({temp.path("no-such-mountinfo"), temp.path("sys")});
    EXPECT_EQ(GetDriveRoots(missing), "");
    // The program's drive is then the top of its own file system.
    const std::string usr = missing.driveRootOf("/usr");
    struct stat top, inside;
    ASSERT_TRUE(usr.starts_with("/") && usr.ends_with("/") && std::string("/usr/").starts_with(usr));
    ASSERT_EQ(::stat(usr.c_str(), &top) | ::stat("/usr", &inside), 0);
    EXPECT_EQ(top.st_dev, inside.st_dev);
    EXPECT_EQ(DriveTypeText("/", missing), "The root directory does not exist");
}

TEST_F(FakeMachine, describesEachKindOfDrive)
{
    const MountTable drives = machine();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/", "Hard drive; can not be removed"},
        {mnt("my disk"), "Hard drive; can not be removed"},
        {mnt("usb/"), "Removable drive"},
        {mnt("cd/"), "CD-ROM drive"},
        {mnt("sr/"), "CD-ROM drive"},
        {mnt("net/"), "Remote (network) drive"},
        {mnt("ram/"), "RAM disk"},
        {mnt("overlay/"), "The drive type cannot be determined"},
        {mnt("gone/"), "The root directory does not exist"},
        {mnt("disk/"), "The root directory does not exist"},
    };
    for (const auto& [root, text] : cases)
        EXPECT_EQ(DriveTypeText(root, drives), text) << root;
}

TEST_F(FakeMachine, pathBelongsToItsLongestMountPoint)
{
    const MountTable drives = machine();
    temp.dir("mnt/usb/docs/old");
    temp.dir("mnt/usbx");
    temp.symlink("docs-link", mnt("usb/docs"));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {mnt("usb/docs/old"), mnt("usb/")},
        {mnt("usb/docs/not-there/x"), mnt("usb/")},
        {temp.path("docs-link/old"), mnt("usb/")},
        {mnt("usbx"), "/"},
        {mnt("my disk/a b"), mnt("my disk/")},
    };
    for (const auto& [path, root] : cases)
        EXPECT_EQ(DriveRootOf(path, drives), root) << path;
}

}  // namespace
}  // namespace ombrix::mDisk
