#include "JsonText.h"
#include "ScanToolFixture.h"
#include "TerminalText.h"

#ifdef _WIN32
#include <windows.h>

#include "ErrorText.h"
#else
#include <cerrno>
#include <cstring>
#endif

namespace ombrix::test {
namespace {

// What the system says of a list that is a folder, a folder that is missing and
// a folder that is a file: its own message texts on Windows.
#ifdef _WIN32
const std::string isAFolder = ErrorText(336);  // ERROR_DIRECTORY_NOT_SUPPORTED
const std::string noSuchFolder = ErrorText(ERROR_FILE_NOT_FOUND);
const std::string notAFolder = ErrorText(ERROR_DIRECTORY);
#else
const std::string isAFolder = std::strerror(EISDIR);
const std::string noSuchFolder = std::strerror(ENOENT);
const std::string notAFolder = std::strerror(ENOTDIR);
#endif

// Without --record nothing reaches the store, not even its file.
TEST_F(OmbrixScanTest, printsFindingsThenTheSummaryAndExitsOneOnlyWhenSomethingWasFound)
{
    tree.file("scan/sub/BAD.EXE");
    tree.file("scan/good.txt");
    ProgramResult result = scan({"--no-subfolders"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, asWritten("Dirs: 1\nFiles: 1\nDetected:  0\nFixed:  0\nScan Complete - Your Clean\n"
                                    "Passed over: 1 not entered (subfolders off)\n"));
    result = scan({});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, asWritten("Trojan.A\t" + tree.path("scan/sub/BAD.EXE") +
                                    "\nDirs: 2\nFiles: 2\nDetected:  1\nFixed:  0\nScan Complete - Problems were found!\n"));
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(tree.exists("scan/sub/BAD.EXE"));
    EXPECT_TRUE(store.untouched());
}

// Nothing is scanned, printed on stdout or recorded; the message says what is wrong.
TEST_F(OmbrixScanTest, badUsageListsAndFoldersExitTwoWithAMessage)
{
    tree.dir("scan");
    const std::string scan = tree.path("scan");
    const std::string key = store.key();
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
        {{OMBRIX_SCAN_TOOL, "--signatures", scan, scan}, isAFolder},
        {{OMBRIX_SCAN_TOOL, "--record", key, "--signatures", tree.blockingFile(), scan}, "not a regular file"},
        {{OMBRIX_SCAN_TOOL, "--record", key, "--signatures", tree.path("list.ini"), tree.path("missing")},
         tree.path("missing") + ": " + noSuchFolder},
        {{OMBRIX_SCAN_TOOL, "--signatures", tree.path("list.ini"), tree.path("list.ini")}, notAFolder},
    };
    for (const auto& c : bad) {
        const ProgramResult result = runProgram(c.argv);
        EXPECT_EQ(result.status, 2) << c.says;
        EXPECT_EQ(result.out, "") << c.says;
        EXPECT_EQ(result.err.rfind("ombrix-scan: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    }
    EXPECT_TRUE(store.untouched());
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
