#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "JsonText.h"
#include "RunProgram.h"
#include "TerminalText.h"
#include "TempTree.h"

namespace ombrix::test {
namespace {

class OmbrixScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("OMBRIX_SETTINGS", tree.path("settings.db").c_str(), 1);
        tree.file("list.ini", "' test list\r\nTrojan.A\tbad.exe\r\nLatin\tcaf\xe9.exe\r\n");
    }

    ProgramResult scan(std::vector<std::string> options, const std::string& folder = "scan")
    {
        std::vector<std::string> argv{OMBRIX_SCAN_TOOL, "--signatures", tree.path("list.ini")};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back(tree.path(folder));
        return runProgram(argv);
    }

    TempTree tree;
};

// Without --record nothing reaches the store, not even its file.
TEST_F(OmbrixScanTest, printsFindingsThenTheSummaryAndExitsOneOnlyWhenSomethingWasFound)
{
    tree.file("scan/sub/BAD.EXE");
    tree.file("scan/good.txt");
    ProgramResult result = scan({"--no-subfolders"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Dirs: 1\nFiles: 1\nDetected:  0\nFixed:  0\nScan Complete - Your Clean\n");
    result = scan({});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Trojan.A\t" + tree.path("scan/sub/BAD.EXE") +
                              "\nDirs: 2\nFiles: 2\nDetected:  1\nFixed:  0\nScan Complete - Problems were found!\n");
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(tree.exists("scan/sub/BAD.EXE"));
    EXPECT_FALSE(tree.exists("settings.db"));
}

// Nothing is scanned, printed on stdout or recorded; the message says what is wrong.
TEST_F(OmbrixScanTest, badUsageListsAndFoldersExitTwoWithAMessage)
{
    tree.dir("scan");
    tree.fifo("fifo.ini");
    const std::string scan = tree.path("scan");
    const struct {
        std::vector<std::string> argv;
        std::string says;
    } bad[] = {
        {{OMBRIX_SCAN_TOOL}, "no FOLDER"},
        {{OMBRIX_SCAN_TOOL, "--bogus", scan}, "unknown option"},
        {{OMBRIX_SCAN_TOOL, scan, scan}, "only one FOLDER"},
        {{OMBRIX_SCAN_TOOL, "--record"}, "needs a value"},
        {{OMBRIX_SCAN_TOOL, ""}, "empty or blank"},
        {{OMBRIX_SCAN_TOOL, "--", "   "}, "empty or blank"},
        {{OMBRIX_SCAN_TOOL, "--signatures", tree.path("missing.ini"), scan}, tree.path("missing.ini")},
        {{OMBRIX_SCAN_TOOL, "--signatures", scan, scan}, "Is a directory"},
        {{OMBRIX_SCAN_TOOL, "--record", "K", "--signatures", tree.path("fifo.ini"), scan}, "not a regular file"},
        {{OMBRIX_SCAN_TOOL, "--record", "K", "--signatures", tree.path("list.ini"), tree.path("missing")},
         tree.path("missing") + ": No such file or directory"},
        {{OMBRIX_SCAN_TOOL, "--signatures", tree.path("list.ini"), tree.path("list.ini")}, "Not a directory"},
    };
    for (const auto& c : bad) {
        const ProgramResult result = runProgram(c.argv);
        EXPECT_EQ(result.status, 2) << c.says;
        EXPECT_EQ(result.out, "") << c.says;
        EXPECT_EQ(result.err.rfind("ombrix-scan: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    }
    EXPECT_FALSE(tree.exists("settings.db"));
}

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

TEST(TerminalText, bytesATerminalCouldActOnAreEscaped)
{
    const struct {
        std::string bytes;
        bool utf8;
        std::string shown;
    } cases[] = {
        {"a\rb\033[2K\n\t\x7f", true, "a\\rb\\033[2K\\n\\t\\177"},
        {"back\\slash", true, "back\\\\slash"},
        {"caf\xc3\xa9 \xe2\x82\xac", true, "caf\xc3\xa9 \xe2\x82\xac"},
        {"caf\xc3\xa9", false, "caf\\303\\251"},
        {"caf\xe9", true, "caf\\351"},
        {"\xc2\x9b" "31m", true, "\\302\\23331m"},  // C1 CSI, as UTF-8
        {"\x9b" "31m", true, "\\23331m"},              // C1 CSI, as one byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(terminalText(c.bytes, c.utf8), c.shown) << c.shown;
}

TEST(JsonString, escapesControlsQuotesAndBytesThatAreNotUtf8)
{
    const struct {
        std::string bytes;
        std::string json;
    } cases[] = {
        {"tab\there\n", "\"tab\\u0009here\\u000a\""},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\""},
        {"\xc3", "\"\\udcc3\""},
        {"\xed\xa0\x80", "\"\\udced\\udca0\\udc80\""},  // an encoded surrogate is not UTF-8
        {"\xc0\xaf", "\"\\udcc0\\udcaf\""},              // nor is an overlong form
    };
    for (const auto& c : cases)
        EXPECT_EQ(jsonString(c.bytes), c.json) << c.json;
}

}  // namespace
}  // namespace ombrix::test
