#include <gtest/gtest.h>

#include <cstdlib>

#include "JsonText.h"
#include "RunProgram.h"
#include "TempTree.h"
#include "mRegistry.h"

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

TEST_F(OmbrixScanTest, printsFindingsThenTheSummaryAndExitsOneWhenSomethingWasFound)
{
    tree.file("scan/sub/BAD.EXE");
    tree.file("scan/good.txt");
    const ProgramResult result = scan({});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Trojan.A\t" + tree.path("scan/sub/BAD.EXE") +
                              "\nDirs: 2\nFiles: 2\nDetected:  1\nFixed:  0\nScan Complete - Problems were found!\n");
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(tree.exists("scan/sub/BAD.EXE"));
}

TEST_F(OmbrixScanTest, cleanFolderExitsZero)
{
    tree.file("scan/sub/good.txt");
    const ProgramResult result = scan({"--no-subfolders"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Dirs: 1\nFiles: 0\nDetected:  0\nFixed:  0\nScan Complete - Your Clean\n");
}

TEST_F(OmbrixScanTest, jsonCarriesEveryCountAndRecoverableBytes)
{
    tree.file("scan/caf\xe9.exe");
    tree.file("scan/x/bad.exe");
    const ProgramResult result = scan({"--json", "--remove"});
    EXPECT_EQ(result.status, 1);
    const std::string folder = tree.path("scan");
    EXPECT_NE(result.out.find("\"looked_for\":2,\"dirs\":2,\"files\":2,\"detected\":2,\"removed\":2,"
                              "\"still_present\":0,\"canceled\":false,"
                              "\"message\":\"Scan Complete - Problems were found!\""),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("{\"threat\":\"Latin\",\"path\":\"" + folder + "/caf\\udce9.exe\",\"present\":false}"),
              std::string::npos)
        << result.out;
    EXPECT_FALSE(tree.exists("scan/caf\xe9.exe"));
    EXPECT_FALSE(tree.exists("scan/x/bad.exe"));
}

// What each value holds is the scan run's business; here only where they go.
TEST_F(OmbrixScanTest, recordWritesUnderTheKeyAndOnlyWhenAsked)
{
    tree.file("scan/bad.exe");
    const auto stored = [](const char* key) {
        return mRegistry::ReadRegString(mRegistry::HKEY_CURRENT_USER, key, "Found", "-");
    };
    scan({"--quiet"});
    EXPECT_EQ(stored(""), "-");
    scan({"--record", "Software\\Ombrix Test", "--quiet"});
    EXPECT_EQ(stored("software\\ombrix test"), "2");
}

TEST_F(OmbrixScanTest, badUsageAndUnreadableListsExitTwoWithAMessage)
{
    tree.dir("scan");
    const std::vector<std::vector<std::string>> bad{
        {OMBRIX_SCAN_TOOL},
        {OMBRIX_SCAN_TOOL, "--bogus", tree.path("scan")},
        {OMBRIX_SCAN_TOOL, tree.path("scan"), tree.path("scan")},
        {OMBRIX_SCAN_TOOL, "--signatures", tree.path("missing.ini"), tree.path("scan")},
        {OMBRIX_SCAN_TOOL, "--signatures", tree.path("scan"), tree.path("scan")},
        {OMBRIX_SCAN_TOOL, "--record"},
    };
    for (const auto& argv : bad) {
        const ProgramResult result = runProgram(argv);
        EXPECT_EQ(result.status, 2) << argv.back();
        EXPECT_EQ(result.out, "") << argv.back();
        EXPECT_NE(result.err.find("ombrix-scan: "), std::string::npos) << argv.back();
    }
}

TEST(JsonString, escapesControlsQuotesAndBytesThatAreNotUtf8)
{
    const struct {
        std::string bytes;
        std::string json;
    } cases[] = {
        {"plain", "\"plain\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"tab\there\n", "\"tab\\u0009here\\u000a\""},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\""},
        {"caf\xe9", "\"caf\\udce9\""},
        {"\xc3", "\"\\udcc3\""},
        {"\xed\xa0\x80", "\"\\udced\\udca0\\udc80\""},  // an encoded surrogate is not UTF-8
        {"\xc0\xaf", "\"\\udcc0\\udcaf\""},              // nor is an overlong form
    };
    for (const auto& c : cases)
        EXPECT_EQ(jsonString(c.bytes), c.json) << c.json;
}

}  // namespace
}  // namespace ombrix::test
