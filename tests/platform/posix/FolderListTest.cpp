#include "FolderList.h"

#include <gtest/gtest.h>

#include "TempTree.h"

namespace ombrix {
namespace {

using test::TempTree;

TEST(ListSubfolders, visibleFoldersByNameBytesWithFullPathsOrNothing)
{
    TempTree temp;
    for (const char* name : {"b", "a", "B", ".hidden", "with blank", "\xff-bytes", "a/inner"})
        temp.dir(name);
    temp.file("a-file", "x");
    temp.symlink("link-to-b", temp.path("b"));

    const std::vector<std::string> expected = {
        temp.path("B"), temp.path("a"), temp.path("b"), temp.path("with blank"), temp.path("\xff-bytes"),
    };
    EXPECT_EQ(ListSubfolders(temp.root()), expected);
    EXPECT_EQ(ListSubfolders(temp.root() + '/'), expected);
    EXPECT_TRUE(ListSubfolders(temp.path("missing")).empty());
    EXPECT_TRUE(ListSubfolders(temp.path("a-file")).empty());
}

}  // namespace
}  // namespace ombrix
