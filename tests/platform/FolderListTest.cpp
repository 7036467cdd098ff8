#include "FolderList.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"

namespace ombrix {
namespace {

using test::TempFolder;

TEST(ListSubfolders, visibleFoldersByNameBytesWithFullPaths)
{
    TempFolder temp;
    for (const char* name : {"b", "a", "B", ".hidden", "with blank", "\xff-bytes", "a/inner"})
        temp.makeFolder(name);
    temp.writeFile("a-file", "x");
    std::filesystem::create_directory_symlink(temp / "b", temp / "link-to-b");

    const std::vector<std::string> expected = {
        temp / "B", temp / "a", temp / "b", temp / "with blank", temp / "\xff-bytes",
    };
    EXPECT_EQ(ListSubfolders(temp.path()), expected);
    EXPECT_EQ(ListSubfolders(temp.path() + '/'), expected);
}

TEST(ListSubfolders, rootFolderGetsNoDoubleSeparator)
{
    for (const std::string& path : ListSubfolders("/"))
        EXPECT_FALSE(path.starts_with("//")) << path;
}

TEST(ListSubfolders, unlistableFolderGivesNothing)
{
    TempFolder temp;
    EXPECT_TRUE(ListSubfolders(temp / "missing").empty());
    EXPECT_TRUE(ListSubfolders(temp.writeFile("file", "x")).empty());
}

}  // namespace
}  // namespace ombrix
