#include "mDisk.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

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
