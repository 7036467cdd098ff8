#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "ScanToolFixture.h"
#include "mRegistry.h"

// A store file that refuses, paths past PATH_MAX built by descriptor, and a terminal.
namespace ombrix::test {
namespace {

// The scan runs and prints as usual; only then the failure is told.
TEST_F(OmbrixScanTest, aRecordTheStoreRefusesIsReportedAfterTheScan)
{
    tree.file("scan/bad.exe");
    tree.dir("store-is-a-folder");
    ::setenv("OMBRIX_SETTINGS", tree.path("store-is-a-folder").c_str(), 1);
    const ProgramResult result = scan({"--record", "Software\\Test"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "Trojan.A\t" + tree.path("scan/bad.exe") +
                              "\nDirs: 1\nFiles: 1\nDetected:  1\nFixed:  0\nScan Complete - Problems were found!\n");
    EXPECT_EQ(result.err, "ombrix-scan: cannot record the result values in the settings store " +
                              tree.path("store-is-a-folder") + ": Is a directory\n");
}

// A start folder deeper than one system call takes is scanned all the same.
TEST_F(OmbrixScanTest, aStartFolderPastThePathLimitIsScanned)
{
    const std::string name(250, 'n');
    std::string deep = tree.path("scan");
    tree.dir("scan");
    int fd = ::open(deep.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < 18; ++i) {
        ::mkdirat(fd, name.c_str(), 0755);
        const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = child;
        deep += "/" + name;
    }
    ::close(::openat(fd, "bad.exe", O_WRONLY | O_CREAT, 0644));
    ::close(fd);
    ASSERT_GT(deep.size(), 4096u);
    // The tree lies on this machine's own disk, where no quarantine folder may be made.
    ASSERT_TRUE(mRegistry::WriteRegString(mRegistry::HKEY_CURRENT_USER, "", "Quarantine", "0"));
    const ProgramResult result = scan({"--remove", "--quiet"}, deep.substr(tree.root().size() + 1));
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(result.out, "Dirs: 1\nFiles: 1\nDetected:  1\nFixed:  1\nScan Complete - Problems were found!\n");
}

// A folder name that returns the cursor, moves up a line and erases it.
TEST_F(OmbrixScanTest, namesReachATerminalEscapedAndAPipeRaw)
{
    tree.file("scan/x\r\033[1A\033[2Ky/bad.exe");
    const std::string raw = "Trojan.A\t" + tree.path("scan") + "/x\r\033[1A\033[2Ky/bad.exe\n";
    EXPECT_EQ(scan({}).out.substr(0, raw.size()), raw);

    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid == 0) {
        ::execl(OMBRIX_SCAN_TOOL, OMBRIX_SCAN_TOOL, "--signatures", tree.path("list.ini").c_str(),
                tree.path("scan").c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    std::string shown;
    char buffer[512];
    for (ssize_t got; (got = ::read(terminal, buffer, sizeof buffer)) > 0;)
        shown.append(buffer, got);
    ::close(terminal);
    ::waitpid(pid, nullptr, 0);
    EXPECT_NE(shown.find("Trojan.A\t" + tree.path("scan") + "/x\\r\\033[1A\\033[2Ky/bad.exe\r\n"), std::string::npos)
        << shown;
}

}  // namespace
}  // namespace ombrix::test
