#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "Paths.h"
#include "mExe.h"

namespace fs = std::filesystem;
using namespace ombrix;

namespace {

// A fresh folder holding a script that records its working folder and arguments
// into the file named by its first argument (written whole, then renamed).
class mExeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "ombrix-mexe-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path writeRecorder(const std::string& name, const std::string& target)
    {
        const fs::path script = folder_ / name;
        std::ofstream(script) << "#!/bin/sh\n"
                              << "out=" << target << "\n"
                              << "{ pwd -P; printf '%s\\n' \"$@\"; } > \"$out.part\"\n"
                              << "/bin/mv \"$out.part\" \"$out\"\n";
        fs::permissions(script, fs::perms::owner_all);
        return script;
    }

    static std::string waitForFile(const fs::path& path)
    {
        for (int i = 0; i < 500 && !fs::exists(path); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ostringstream text;
        text << std::ifstream(path).rdbuf();
        return text.str();
    }

    static bool noChildLeft()
    {
        return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
    }

    fs::path folder_;
};

}  // namespace

TEST_F(mExeTest, shellOpenStartsFileInProgramFolderWithParametersSplitAtBlanks)
{
    const fs::path out = folder_ / "out";
    const fs::path script = writeRecorder("record", "\"$1\"");

    mExe::ShellOpen(script.string(), out.string() + "  two three ", 1);
    EXPECT_TRUE(noChildLeft());

    EXPECT_EQ(waitForFile(out), ProgramFolder() + "\n" + out.string() + "\ntwo\nthree\n");
}

TEST_F(mExeTest, shellOpenOfMissingFileReturnsAndLeavesNoChild)
{
    mExe::ShellOpen((folder_ / "missing").string(), "a b", 1);
    EXPECT_TRUE(noChildLeft());
}

TEST_F(mExeTest, openFileManagerPassesFolderAsOneArgumentAndHomeForEmpty)
{
    writeRecorder("xdg-open", (folder_ / "opened").string());
    const std::string oldPath = std::getenv("PATH");
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("PATH", folder_.c_str(), 1);
    setenv("HOME", (folder_ / "home dir").c_str(), 1);

    mExe::OpenFileManager("/srv/a b/c d/");
    const std::string withBlanks = waitForFile(folder_ / "opened");
    fs::remove(folder_ / "opened");
    mExe::OpenFileManager("");
    const std::string home = waitForFile(folder_ / "opened");

    setenv("PATH", oldPath.c_str(), 1);
    setenv("HOME", oldHome.c_str(), 1);
    EXPECT_EQ(withBlanks, ProgramFolder() + "\n/srv/a b/c d/\n");
    EXPECT_EQ(home, ProgramFolder() + "\n" + (folder_ / "home dir").string() + "\n");
    EXPECT_TRUE(noChildLeft());
}
