#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "Paths.h"
#include "TempTree.h"
#include "mExe.h"

using namespace ombrix;

namespace {

// A script in the tree that records its working folder and arguments into the
// file `target` (written whole, then renamed). Returns its path.
std::string writeRecorder(const test::TempTree& tree, const std::string& name, const std::string& target)
{
    tree.file(name, "#!/bin/sh\nout=" + target + "\n{ pwd -P; printf '%s\\n' \"$@\"; } > \"$out.part\"\n"
                    "/bin/mv \"$out.part\" \"$out\"\n");
    std::filesystem::permissions(tree.path(name), std::filesystem::perms::owner_all);
    return tree.path(name);
}

bool noChildLeft()
{
    return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

}  // namespace

// Programs start in the program folder and are not left as zombies; a missing file starts nothing.
TEST(mExe, programsStartInTheProgramFolderWithTheirArgumentsSplitAsTheCallerMeans)
{
    const test::TempTree tree;
    const std::string out = tree.path("out");
    mExe::ShellOpen(writeRecorder(tree, "record", "\"$1\""), out + "  two three ", 1);
    mExe::ShellOpen(tree.path("missing"), "a b", 1);
    EXPECT_EQ(test::takeFile(out), ProgramFolder() + "\n" + out + "\ntwo\nthree\n");

    // The file manager gets the folder as one argument, and the home folder for none.
    writeRecorder(tree, "xdg-open", out);
    const std::string oldPath = std::getenv("PATH");
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("PATH", tree.root().c_str(), 1);
    setenv("HOME", tree.path("home dir").c_str(), 1);
    mExe::OpenFileManager("/srv/a b/c d/");
    EXPECT_EQ(test::takeFile(out), ProgramFolder() + "\n/srv/a b/c d/\n");
    mExe::OpenFileManager("");
    EXPECT_EQ(test::takeFile(out), ProgramFolder() + "\n" + tree.path("home dir") + "\n");
    setenv("PATH", oldPath.c_str(), 1);
    setenv("HOME", oldHome.c_str(), 1);
    EXPECT_TRUE(noChildLeft());
}
