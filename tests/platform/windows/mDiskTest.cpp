#include "mDisk.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "WineDrives.h"

namespace ombrix::mDisk {
namespace {

// Every root in the list is a letter, a colon and a backslash, in letter
// order, and the list ends in one NUL; C:, the system's drive, is there.
TEST(Drives, listedByLetterEachEndedByANulAndTheWholeByAnother)
{
    std::string list = GetDriveRoots();
    ASSERT_TRUE(list.ends_with(std::string(2, '\0'))) << list;
    std::vector<std::string> roots;
    while (list.find('\0') != std::string::npos && list != std::string(1, '\0'))
        roots.push_back(NextDriveRoot(list));
    EXPECT_EQ(list, std::string(1, '\0'));
    ASSERT_FALSE(roots.empty());
    for (std::size_t i = 0; i < roots.size(); ++i) {
        EXPECT_TRUE(roots[i].size() == 3 && roots[i].substr(1) == ":\\") << roots[i];
        if (i > 0) {
            EXPECT_LT(roots[i - 1], roots[i]);
        }
    }
    EXPECT_NE(std::find(roots.begin(), roots.end(), "C:\\"), roots.end());
    std::string noNul = "C:\\";
    EXPECT_EQ(NextDriveRoot(noNul), "");
    EXPECT_EQ(noNul, "C:\\");
}

TEST(Drives, describedByTheSystemsTypeCode)
{
    EXPECT_EQ(DriveTypeText("C:\\"), "Hard drive; can not be removed");
    // A letter no drive uses.
    std::string unused;
    const DWORD inUse = GetLogicalDrives();
    for (char letter = 'Y'; letter > 'C' && unused.empty(); --letter) {
        if (!(inUse & (1u << (letter - 'A'))))
            unused = std::string(1, letter) + ":\\";
    }
    ASSERT_FALSE(unused.empty());
    EXPECT_EQ(DriveTypeText(unused), "The root directory does not exist");
}

// Needs drives of the test's own, which only Wine lets a program make.
TEST(Drives, eachTypeHasItsTextAndTwentySixDrivesGiveNoList)
{
    test::WineDrives drives;
    if (!drives.usable())
        GTEST_SKIP() << "drives of a test's own need wine-run's prefix";
    const std::vector<std::pair<char, std::string>> kinds = {
        {'P', "Removable drive"}, {'Q', "Hard drive; can not be removed"}, {'R', "Remote (network) drive"},
        {'S', "CD-ROM drive"},    {'T', "RAM disk"},
    };
    UINT type = DRIVE_REMOVABLE;
    for (const auto& kind : kinds)
        ASSERT_TRUE(drives.add(kind.first, type++)) << kind.first;
    std::string list = GetDriveRoots();
    std::vector<std::string> roots;
    while (list.find('\0') != std::string::npos && list != std::string(1, '\0'))
        roots.push_back(NextDriveRoot(list));
    for (const auto& [letter, text] : kinds) {
        const std::string root = std::string(1, letter) + ":\\";
        EXPECT_NE(std::find(roots.begin(), roots.end(), root), roots.end()) << root;
        EXPECT_EQ(DriveTypeText(root), text) << root;
    }

    // Every letter but one in use: 25 roots, 101 characters, still fit.
    const DWORD inUse = GetLogicalDrives();
    std::vector<char> free;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (!(inUse & (1u << (letter - 'A'))))
            free.push_back(letter);
    }
    ASSERT_FALSE(free.empty());
    for (std::size_t i = 0; i + 1 < free.size(); ++i)
        ASSERT_TRUE(drives.add(free[i], DRIVE_FIXED)) << free[i];
    EXPECT_EQ(GetDriveRoots().size(), 101u);
    ASSERT_TRUE(drives.add(free.back(), DRIVE_FIXED));
    EXPECT_EQ(GetDriveRoots(), "");
}

TEST(Drives, aPathsDriveIsItsFirstTwoCharacters)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"C:\\WINDOWS\\system32", "C:\\"}, {"d:", "d:\\"}, {"\\\\host\\share\\x", "\\\\\\"}, {"", ""},
    };
    for (const auto& [path, root] : cases)
        EXPECT_EQ(DriveRootOf(path), root) << path;
}

}  // namespace
}  // namespace ombrix::mDisk
