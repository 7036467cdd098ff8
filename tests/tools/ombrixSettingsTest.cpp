#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "RunProgram.h"
#include "TempTree.h"

namespace {

using ::testing::PrintToString;

class SettingsTool : public ::testing::Test {
protected:
    void SetUp() override { setenv("OMBRIX_SETTINGS", store_.c_str(), 1); }

    static ombrix::test::ProgramResult tool(std::vector<std::string> args)
    {
        args.insert(args.begin(), OMBRIX_SETTINGS_TOOL);
        return ombrix::test::runProgram(args);
    }

    ombrix::test::TempTree tree_;
    const std::string store_ = tree_.path("settings.db");
};

// Steps run in order on one store; each must exit 0 and print exactly its line(s).
TEST_F(SettingsTool, commandsPrintTheirValuesAndExitZero)
{
    ASSERT_EQ(tool({"set", "Status", "255"}).status, 0);
    sqlite3* db = nullptr;
    sqlite3_open(store_.c_str(), &db);
    sqlite3_exec(db, "INSERT INTO key_values VALUES ('', 'Binary', 3, x'00ff10'), ('', 'Cut', 1, x'61006200')", nullptr,
                 nullptr, nullptr);
    sqlite3_close(db);

    const struct {
        std::vector<std::string> args;
        std::string out;
    } steps[] = {
        {{"--key", "Software\\Ombrix", "set", "Status", "65280"}, ""},
        {{"--key", "SOFTWARE\\ombrix", "get", "status"}, "65280\n"},
        {{"get", "Missing"}, "\n"},
        {{"get", "Missing", "?"}, "?\n"},
        {{"set", "Bytes", "\xff\xfe caf\xe9"}, ""},
        {{"get", "Bytes", "?"}, "\xff\xfe caf\xe9\n"},
        {{"delete", "BYTES"}, ""},
        {{"delete", "Bytes"}, ""},
        {{"get", "Bytes", "?"}, "?\n"},
        {{"set-dword", "Count", "4294967295"}, ""},
        {{"set", "Empty", ""}, ""},
        {{"list"}, "Binary\t3\t00ff10\nCount\t4\t4294967295\nCut\t1\ta\nEmpty\t1\t\nStatus\t1\t255\n"},
        {{"--key", "Missing", "list"}, ""},
    };
    for (const auto& step : steps) {
        const auto run = tool(step.args);
        EXPECT_EQ(run.status, 0) << PrintToString(step.args);
        EXPECT_EQ(run.out, step.out) << PrintToString(step.args);
        EXPECT_EQ(run.err, "") << PrintToString(step.args);
    }
}

// Usage errors exit 2 with the usage, a file that is not a store exits 1 naming it;
// neither prints on stdout nor changes the file.
TEST_F(SettingsTool, failuresExitNonZeroWithAMessageAndLeaveTheFile)
{
    ombrix::test::writeFile(store_, "not a settings store");
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{}, 2}, {{"bogus"}, 2}, {{"--key"}, 2}, {{"get"}, 2}, {{"get", "a", "b", "c"}, 2},
        {{"set", "a"}, 2}, {{"set-dword", "a", "x"}, 2}, {{"set-dword", "a", "-1"}, 2},
        {{"set-dword", "a", "4294967296"}, 2}, {{"list", "extra"}, 2}, {{"delete"}, 2},
        {{"set", "a", "b"}, 1}, {{"set-dword", "a", "1"}, 1}, {{"list"}, 1}, {{"delete", "a"}, 1},
    };
    for (const auto& c : cases) {
        const auto run = tool(c.args);
        EXPECT_EQ(run.status, c.status) << PrintToString(c.args);
        EXPECT_EQ(run.out, "") << PrintToString(c.args);
        EXPECT_NE(run.err.find(c.status == 2 ? "usage: ombrix-settings" : store_), std::string::npos)
            << PrintToString(c.args);
    }
    EXPECT_EQ(tool({"get", "a", "?"}).out, "?\n");
    // Beside set-dword, the usage warns that a number is no option value.
    EXPECT_NE(tool({}).err.find("set-dword NAME NUMBER\n         (Ombrix reads its options as text only"),
              std::string::npos);
    std::ifstream in(store_, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "not a settings store");
}

}  // namespace
