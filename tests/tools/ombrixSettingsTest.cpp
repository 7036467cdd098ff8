#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "RunProgram.h"
#include "TempTree.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sqlite3.h>
#endif

namespace {

using ::testing::PrintToString;
using ombrix::test::asWritten;

// The same commands on each system's store: the registry below a key of the
// test's own, or a store file of the test's own whose values sit at its top.
class SettingsTool : public ::testing::Test {
protected:
    static ombrix::test::ProgramResult tool(std::vector<std::string> args)
    {
#ifdef _WIN32
        // Copied beside the test program, where Windows looks for a program first.
        args.insert(args.begin(), "ombrix-settings.exe");
#else
        args.insert(args.begin(), OMBRIX_SETTINGS_TOOL);
#endif
        return ombrix::test::runProgram(args);
    }

    // `args` on `key` below the test's top, or on the top itself.
    std::vector<std::string> on(const std::string& key, std::vector<std::string> args) const
    {
        const std::string path = top_.empty() ? key : key.empty() ? top_ : top_ + "\\" + key;
        if (!path.empty())
            args.insert(args.begin(), {"--key", path});
        return args;
    }

    // A text value the tool wrote, and two another program wrote: one of another
    // type, and a text with a NUL inside.
    void putValues()
    {
        ASSERT_EQ(tool(on("", {"set", "Status", "255"})).status, 0);
#ifdef _WIN32
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, top_.c_str(), &key), ERROR_SUCCESS);
        RegSetValueExA(key, "Binary", 0, REG_BINARY, reinterpret_cast<const BYTE*>("\x00\xff\x10"), 3);
        RegSetValueExA(key, "Cut", 0, REG_SZ, reinterpret_cast<const BYTE*>("a\0b"), 3);
        RegCloseKey(key);
#else
        sqlite3* db = nullptr;
        sqlite3_open(store_.c_str(), &db);
        sqlite3_exec(db, "INSERT INTO key_values VALUES ('', 'Binary', 3, x'00ff10'), ('', 'Cut', 1, x'61006200')",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
#endif
    }

#ifdef _WIN32
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, top_.c_str()); }

    const std::string top_ = "Software\\OmbrixSettingsTest-" + std::to_string(GetCurrentProcessId()) + '-' +
                             std::to_string(GetTickCount64());
    const std::string storeName_ = "HKEY_CURRENT_USER: ";
    const std::string storeHelp_ = "below HKEY_CURRENT_USER";
#else
    void SetUp() override { setenv("OMBRIX_SETTINGS", store_.c_str(), 1); }

    ombrix::test::TempTree tree_;
    const std::string store_ = tree_.path("settings.db");
    const std::string top_;
    const std::string storeName_ = store_;
    const std::string storeHelp_ = "$OMBRIX_SETTINGS";
#endif
};

// Steps run in order on one store; each must exit 0 and print exactly its line(s).
TEST_F(SettingsTool, commandsPrintTheirValuesAndExitZero)
{
    putValues();
    const struct {
        std::vector<std::string> args;
        std::string out;
    } steps[] = {
        {on("Software\\Ombrix", {"set", "Status", "65280"}), ""},
        {on("SOFTWARE\\ombrix", {"get", "status"}), "65280\n"},
        {on("", {"get", "Missing"}), "\n"},
        {on("", {"get", "Missing", "?"}), "?\n"},
        {on("", {"set", "Bytes", "\xe9t\xe9 caf\xe9"}), ""},
        {on("", {"get", "Bytes", "?"}), "\xe9t\xe9 caf\xe9\n"},
        {on("", {"delete", "BYTES"}), ""},
        {on("", {"delete", "Bytes"}), ""},
        {on("", {"get", "Bytes", "?"}), "?\n"},
        {on("", {"set-dword", "Count", "4294967295"}), ""},
        {on("", {"set", "Empty", ""}), ""},
        {on("", {"list"}), "Binary\t3\t00ff10\nCount\t4\t4294967295\nCut\t1\ta\nEmpty\t1\t\nStatus\t1\t255\n"},
        {on("Missing", {"list"}), ""},
    };
    for (const auto& step : steps) {
        const auto run = tool(step.args);
        EXPECT_EQ(run.status, 0) << PrintToString(step.args);
        EXPECT_EQ(run.out, asWritten(step.out)) << PrintToString(step.args);
        EXPECT_EQ(run.err, "") << PrintToString(step.args);
    }
}

// Usage errors exit 2 with the usage, which says where the store is; a store
// that refuses exits 1 naming it. Neither prints on stdout.
TEST_F(SettingsTool, failuresExitNonZeroWithAMessage)
{
#ifdef _WIN32
    const std::vector<std::vector<std::string>> refused = {on(std::string(300, 'k'), {"set", "a", "b"})};
#else
    ombrix::test::writeFile(store_, "not a settings store");
    const std::vector<std::vector<std::string>> refused = {
        {"set", "a", "b"}, {"set-dword", "a", "1"}, {"list"}, {"delete", "a"}};
#endif
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    std::vector<Case> cases = {
        {{}, 2}, {{"bogus"}, 2}, {{"--key"}, 2}, {{"get"}, 2}, {{"get", "a", "b", "c"}, 2},
        {{"set", "a"}, 2}, {{"set-dword", "a", "x"}, 2}, {{"set-dword", "a", "-1"}, 2},
        {{"set-dword", "a", "4294967296"}, 2}, {{"list", "extra"}, 2}, {{"delete"}, 2},
    };
    for (const auto& args : refused)
        cases.push_back({args, 1});
    for (const auto& c : cases) {
        const auto run = tool(c.args);
        EXPECT_EQ(run.status, c.status) << PrintToString(c.args);
        EXPECT_EQ(run.out, "") << PrintToString(c.args);
        EXPECT_NE(run.err.find(c.status == 2 ? storeHelp_ : "the settings store " + storeName_), std::string::npos)
            << PrintToString(c.args) << run.err;
    }
    // Beside set-dword, the usage warns that a number is no option value.
    EXPECT_NE(tool({}).err.find(asWritten("set-dword NAME NUMBER\n         (Ombrix reads its options as text only")),
              std::string::npos);
#ifndef _WIN32
    EXPECT_EQ(tool({"get", "a", "?"}).out, "?\n");
    EXPECT_EQ(ombrix::test::readFile(store_), "not a settings store");
#endif
}

}  // namespace
