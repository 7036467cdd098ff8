#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "RunProgram.h"

namespace {

using ::testing::PrintToString;
using ombrix::test::asWritten;

// The tool is copied beside the test program, where Windows looks for a program first.
ombrix::test::ProgramResult tool(std::vector<std::string> args)
{
    args.insert(args.begin(), "ombrix-settings.exe");
    return ombrix::test::runProgram(args);
}

class SettingsTool : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }

    const std::string key_ = "Software\\OmbrixSettingsTest-" + std::to_string(GetCurrentProcessId()) + '-' +
                             std::to_string(GetTickCount64());
};

// Steps run in order on one key; each must exit 0 and print exactly its line(s).
TEST_F(SettingsTool, commandsPrintTheirValuesAndExitZero)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, key_.c_str(), &key), ERROR_SUCCESS);
    RegSetValueExA(key, "Binary", 0, REG_BINARY, reinterpret_cast<const BYTE*>("\x00\xff\x10"), 3);
    RegSetValueExA(key, "Cut", 0, REG_SZ, reinterpret_cast<const BYTE*>("a\0b"), 3);
    RegCloseKey(key);

    const std::string sub = key_ + "\\Ombrix";
    const struct {
        std::vector<std::string> args;
        std::string out;
    } steps[] = {
        {{"--key", sub, "set", "Status", "65280"}, ""},
        {{"--key", sub, "get", "status"}, "65280\n"},
        {{"--key", key_, "get", "Missing"}, "\n"},
        {{"--key", key_, "get", "Missing", "?"}, "?\n"},
        {{"--key", key_, "set", "Bytes", "\xe9t\xe9 caf\xe9"}, ""},
        {{"--key", key_, "get", "Bytes", "?"}, "\xe9t\xe9 caf\xe9\n"},
        {{"--key", key_, "delete", "BYTES"}, ""},
        {{"--key", key_, "delete", "Bytes"}, ""},
        {{"--key", key_, "get", "Bytes", "?"}, "?\n"},
        {{"--key", key_, "set-dword", "Count", "4294967295"}, ""},
        {{"--key", key_, "set", "Empty", ""}, ""},
        {{"--key", key_, "list"}, "Binary\t3\t00ff10\nCount\t4\t4294967295\nCut\t1\ta\nEmpty\t1\t\n"},
        {{"--key", key_ + "\\Missing", "list"}, ""},
    };
    for (const auto& step : steps) {
        const auto run = tool(step.args);
        EXPECT_EQ(run.status, 0) << PrintToString(step.args);
        EXPECT_EQ(run.out, asWritten(step.out)) << PrintToString(step.args);
        EXPECT_EQ(run.err, "") << PrintToString(step.args);
    }
}

// Usage errors exit 2 with the usage, which names the registry; a store that
// refuses exits 1 naming it. Neither prints on stdout.
TEST_F(SettingsTool, failuresExitNonZeroWithAMessage)
{
    const std::string tooLong = key_ + '\\' + std::string(300, 'k');
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{}, 2}, {{"bogus"}, 2}, {{"--key"}, 2}, {{"get"}, 2}, {{"set-dword", "a", "4294967296"}, 2},
        {{"--key", tooLong, "set", "a", "b"}, 1},
    };
    for (const auto& c : cases) {
        const auto run = tool(c.args);
        EXPECT_EQ(run.status, c.status) << PrintToString(c.args);
        EXPECT_EQ(run.out, "") << PrintToString(c.args);
        EXPECT_NE(run.err.find(c.status == 2 ? "below HKEY_CURRENT_USER" : "the settings store HKEY_CURRENT_USER: "),
                  std::string::npos)
            << PrintToString(c.args) << run.err;
    }
}

}  // namespace
