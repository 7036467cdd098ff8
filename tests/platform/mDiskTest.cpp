#include "mDisk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"

namespace ombrix::mDisk {
namespace {

using test::TempFolder;

// A fake machine: a mount table naming mount points inside a temporary folder
// and a kernel device tree with one fixed and one removable disk.
class FakeMachine : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* folder : {"ram", "usb", "cd", "net", "ssh", "overlay", "disk", "sr", "my disk", "Zip"})
            temp.makeFolder(std::string("mnt/") + folder);
        temp.makeFolder("sys/devices/sda/sda1");
        temp.writeFile("sys/devices/sda/removable", "0\n");
        temp.makeFolder("sys/devices/sdb/sdb1");
        temp.writeFile("sys/devices/sdb/removable", "1\n");
        temp.makeFolder("sys/devices/sr0");
        temp.writeFile("sys/devices/sr0/removable", "1\n");
        temp.makeFolder("sys/dev/block");
        std::filesystem::create_directory_symlink(temp / "sys/devices/sda/sda1", temp / "sys/dev/block/8:1");
        std::filesystem::create_directory_symlink(temp / "sys/devices/sdb/sdb1", temp / "sys/dev/block/8:17");
        std::filesystem::create_directory_symlink(temp / "sys/devices/sr0", temp / "sys/dev/block/11:0");
    }

    MountTable table(const std::vector<std::string>& lines) const
    {
        std::string text;
        int id = 20;
        for (const std::string& line : lines)
            text += std::to_string(id++) + " 1 " + line + '\n';
        return MountTable({temp.writeFile("mountinfo", text), temp / "sys"});
    }

    std::string mnt(const std::string& name) const { return temp / ("mnt/" + name); }

    MountTable machine() const
    {
        const std::string m = temp / "mnt";
        return table({
            "8:1 / / rw - ext4 /dev/sda1 rw",
            "0:20 / /proc rw - proc proc rw",
            "0:21 / /sys rw - sysfs sysfs rw",
            "0:6 / /dev rw - devtmpfs devtmpfs rw",
            "0:22 / /dev/shm rw - tmpfs tmpfs rw",
            "0:23 / /run rw - tmpfs tmpfs rw",
            "0:24 / /run/user/1000 rw - tmpfs tmpfs rw",
            "0:25 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw",
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
        });
    }

    TempFolder temp;
};

std::vector<std::string> walk(std::string list)
{
    std::vector<std::string> roots;
    while (!list.empty() && list != std::string(1, '\0'))
        roots.push_back(NextDriveRoot(list));
    return roots;
}

TEST_F(FakeMachine, listsRealFileSystemsSortedBytewiseOnceEach)
{
    const std::string m = temp / "mnt/";
    const std::vector<std::string> expected = {
        "/", m + "Zip/", m + "cd/", m + "gone/", m + "my disk/", m + "net/",
        m + "overlay/", m + "ram/", m + "sr/", m + "ssh/", m + "usb/",
    };
    EXPECT_EQ(walk(GetDriveRoots(machine())), expected);
}

TEST_F(FakeMachine, listEndsWithOneExtraNul)
{
    const std::string list = table({"8:1 / / rw - ext4 /dev/sda1 rw", "8:17 / /a rw - vfat /dev/sdb1 rw"}).driveRoots();
    EXPECT_EQ(list, std::string("/\0/a/\0\0", 7));
}

TEST_F(FakeMachine, unreadableTableGivesNoDrives)
{
    const MountTable missing({temp / "no-such-mountinfo", temp / "sys"});
    EXPECT_EQ(GetDriveRoots(missing), "");
    EXPECT_EQ(missing.driveRootOf("/usr"), "");
    EXPECT_EQ(DriveTypeText("/", missing), "The root directory does not exist");
}

TEST_F(FakeMachine, describesEachKindOfDrive)
{
    const MountTable drives = machine();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/", "Hard drive; can not be removed"},
        {mnt("Zip/"), "Hard drive; can not be removed"},
        {mnt("my disk/"), "Hard drive; can not be removed"},
        {mnt("my disk"), "Hard drive; can not be removed"},
        {mnt("usb/"), "Removable drive"},
        {mnt("cd/"), "CD-ROM drive"},
        {mnt("sr/"), "CD-ROM drive"},
        {mnt("net/"), "Remote (network) drive"},
        {mnt("ssh/"), "Remote (network) drive"},
        {mnt("ram/"), "RAM disk"},
        {mnt("overlay/"), "The drive type cannot be determined"},
        {mnt("gone/"), "The root directory does not exist"},
        {mnt("disk/"), "The root directory does not exist"},
        {temp / "mnt/", "The root directory does not exist"},
    };
    for (const auto& [root, text] : cases)
        EXPECT_EQ(DriveTypeText(root, drives), text) << root;
}

TEST_F(FakeMachine, pathBelongsToItsLongestMountPoint)
{
    const MountTable drives = machine();
    temp.makeFolder("mnt/usb/docs/old");
    temp.makeFolder("mnt/usbx");
    std::filesystem::create_directory_symlink(mnt("usb/docs"), temp / "docs-link");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {mnt("usb/docs/old"), mnt("usb/")},
        {mnt("usb"), mnt("usb/")},
        {mnt("usb/"), mnt("usb/")},
        {mnt("usb/docs/not-there/x"), mnt("usb/")},
        {temp / "docs-link/old", mnt("usb/")},
        {mnt("usbx"), "/"},
        {mnt("my disk/a b"), mnt("my disk/")},
        {"/", "/"},
        {"/proc/self", "/proc/"},
    };
    for (const auto& [path, root] : cases)
        EXPECT_EQ(DriveRootOf(path, drives), root) << path;
}

TEST(NextDriveRoot, cutsOneRootAtATime)
{
    std::string list("A:\\\0C:\\\0D:\\\0\0", 13);
    EXPECT_EQ(NextDriveRoot(list), "A:\\");
    EXPECT_EQ(NextDriveRoot(list), "C:\\");
    EXPECT_EQ(NextDriveRoot(list), "D:\\");
    EXPECT_EQ(list, std::string(1, '\0'));
}

TEST(NextDriveRoot, textWithoutNulStaysAsItIs)
{
    std::string empty;
    EXPECT_EQ(NextDriveRoot(empty), "");
    EXPECT_EQ(empty, "");
    std::string noNul = "/media";
    EXPECT_EQ(NextDriveRoot(noNul), "");
    EXPECT_EQ(noNul, "/media");
}

TEST(RealMountTable, rootIsADriveAndHoldsTheRootFolder)
{
    const MountTable real;
    EXPECT_EQ(real.driveRootOf("/"), "/");
    const std::string list = real.driveRoots();
    ASSERT_FALSE(list.empty());
    EXPECT_TRUE(list.ends_with(std::string(2, '\0')));
}

}  // namespace
}  // namespace ombrix::mDisk
