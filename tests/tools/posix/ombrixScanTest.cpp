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

// Two file names each on half a million lines, taking turns, make two threat
// names of megabytes; thirty findings show them. Loading, matching, rows and
// output cost memory in line with the list, not with lines times lines or
// rows times lines: far less than the square would take.
TEST_F(OmbrixScanTest, aFileNamedOnAMillionLinesScansInBoundedMemory)
{
    constexpr int kLines = 1000000;
    std::string list, trojan, worm;
    list.reserve(std::size_t(kLines) * 18);
    for (int i = 0; i < kLines / 2; ++i) {
        list += "Trojan.A\tbad.exe\r\nWorm.B\tworm.dll\r\n";
        trojan += i ? ", Trojan.A" : "Trojan.A";
        worm += i ? ", Worm.B" : "Worm.B";
    }
    tree.file("list.ini", list);
    tree.file("scan/bad.exe");
    tree.file("scan/sub/worm.dll");
    const auto scanLimited = [&](std::vector<std::string> options) {
        std::vector<std::string> argv{"/usr/bin/prlimit", "--as=201326592", "--", OMBRIX_SCAN_TOOL, "--threads", "0",
                                      "--signatures", tree.path("list.ini"), tree.path("scan")};
        argv.insert(argv.end() - 1, options.begin(), options.end());
        return runProgram(argv);
    };
    const ProgramResult shown = scanLimited({});
    EXPECT_EQ(shown.status, 1) << shown.err;
    EXPECT_NE(shown.out.find(trojan + "\t" + tree.path("scan/bad.exe") + "\n"), std::string::npos);
    EXPECT_NE(shown.out.find(worm + "\t" + tree.path("scan/sub/worm.dll") + "\n"), std::string::npos);

    for (int i = 0; i < 30; ++i)
        tree.file("scan/many/" + std::to_string(i) + "/bad.exe");
    const ProgramResult many = scanLimited({"--quiet"});
    EXPECT_EQ(many.status, 1) << many.err;
    EXPECT_EQ(many.out, "Dirs: 33\nFiles: 32\nDetected:  32\nFixed:  0\nScan Complete - Problems were found!\n");
}

// However few descriptors the tool starts with, it never calls a tree clean that
// it could not walk: it finds and removes what lies 300 folders down, and counts
// it as fixed, or says it could not scan.
TEST_F(OmbrixScanTest, aDescriptorLimitTooLowToWalkIsAnErrorNeverAClean)
{
    std::string level = "scan";
    for (int i = 0; i < 300; ++i)
        level += "/d";
    // The tree lies on this machine's own disk, where no quarantine folder may be made.
    ASSERT_TRUE(mRegistry::WriteRegString(mRegistry::HKEY_CURRENT_USER, "", "Quarantine", "0"));
    for (const int limit : {7, 8, 9, 10, 11, 12, 14, 16, 64, 256}) {
        tree.file(level + "/bad.exe");
        const ProgramResult result =
            runProgram({"/usr/bin/prlimit", "--nofile=" + std::to_string(limit), "--", OMBRIX_SCAN_TOOL, "--quiet",
                        "--remove", "--signatures", tree.path("list.ini"), tree.path("scan")});
        const bool found = result.status == 1 && !tree.exists(level + "/bad.exe") &&
                           result.out == "Dirs: 301\nFiles: 1\nDetected:  1\nFixed:  1\n"
                                         "Scan Complete - Problems were found!\n";
        // Told before the scan (the folder could not be opened), or after it, which ends as a canceled one.
        const bool told = result.status == 2 && result.err.find("Too many open files") != std::string::npos &&
                          (result.out.empty() ||
                           result.out.ends_with("\nScan Canceled\nPassed over: 1 folder could not be listed (EMFILE 1)\n"));
        EXPECT_TRUE(found || told) << "limit " << limit << ": " << result.status << "\n" << result.out << result.err;
    }
}

}  // namespace
}  // namespace ombrix::test
