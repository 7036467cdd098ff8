// mRegistry.h comes first: <windows.h> makes its constants' names macros.
#include "mRegistry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Paths.h"

namespace {

using ::testing::PrintToString;

struct ProgramResult {
    int status = -1;
    std::string out;
    std::string err;
};

// No argument of these tests holds a quote or ends in a backslash.
std::string quoted(const std::string& argument)
{
    return '"' + argument + '"';
}

std::string takeFile(const std::string& path)
{
    std::string text;
    {
        std::ifstream in(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    DeleteFileA(path.c_str());
    return text;
}

// bin\ombrix-settings.exe of the build, two folders above tests\bin. Wine
// names a program outside every drive "unix\..." without the "\\?\" that
// makes the name work, and such a name takes no "..".
std::string settingsTool()
{
    std::string folder = ombrix::ProgramFolder();
    for (int up = 0; up < 2; ++up)
        folder.erase(folder.rfind('\\'));
    return (folder.starts_with("unix\\") ? "\\\\?\\" : "") + folder + "\\bin\\ombrix-settings.exe";
}

// Runs the tool with `args`, its output and errors going to files of their own.
ProgramResult tool(const std::vector<std::string>& args)
{
    std::string commandLine = quoted(settingsTool());
    for (const std::string& arg : args)
        commandLine += ' ' + quoted(arg);
    char folder[MAX_PATH + 1];
    GetTempPathA(sizeof folder, folder);
    const std::string base = std::string(folder) + "ombrix-settings-test-" + std::to_string(GetCurrentProcessId());
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA((base + ".out").c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileA((base + ".err").c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION started{};
    ProgramResult result;
    // Started in the temporary folder: under Wine the test's own may be no usable name.
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder, &startup,
                       &started)) {
        WaitForSingleObject(started.hProcess, 60000);
        DWORD status = 0;
        GetExitCodeProcess(started.hProcess, &status);
        result.status = static_cast<int>(status);
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    result.out = takeFile(base + ".out");
    result.err = takeFile(base + ".err");
    return result;
}

// Lines as a Windows console program writes them.
std::string lines(const std::string& text)
{
    std::string windows;
    for (const char c : text)
        windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return windows;
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
        EXPECT_EQ(run.out, lines(step.out)) << PrintToString(step.args);
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
