#include "FolderList.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "TempTree.h"

namespace ombrix {
namespace {

TEST(ListSubfolders, visibleFoldersByNameIgnoringCaseWithFullPathsOrNothing)
{
    const test::TempTree scratch;
    for (const char* name : {"b", "A", "c", "hidden", "with blank", "caf\xe9", "A\\inner"})
        scratch.dir(name);
    SetFileAttributesA(scratch.path("hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    // Where links can be made (Windows in developer mode; Wine says it made one
    // and makes none), they are left out.
    CreateSymbolicLinkA(scratch.path("link").c_str(), scratch.path("b").c_str(),
                        SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    CloseHandle(CreateFileA(scratch.path("a-file").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));

    const std::vector<std::string> expected = {
        scratch.path("A"), scratch.path("b"), scratch.path("c"),
        scratch.path("caf\xe9"), scratch.path("with blank"),
    };
    EXPECT_EQ(ListSubfolders(scratch.root()), expected);
    EXPECT_EQ(ListSubfolders(scratch.root() + '\\'), expected);
    EXPECT_TRUE(ListSubfolders(scratch.path("missing")).empty());
    EXPECT_TRUE(ListSubfolders(scratch.path("a-file")).empty());
}

}  // namespace
}  // namespace ombrix
