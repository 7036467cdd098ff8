#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TempTree.h"

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class SettingsTool : public ::testing::Test {
protected:
    void SetUp() override { setenv("OMBRIX_SETTINGS", store_.c_str(), 1); }

    // Runs the built ombrix-settings with `args` and collects its exit status and output.
    Outcome tool(std::vector<std::string> args) const
    {
        args.insert(args.begin(), OMBRIX_SETTINGS_TOOL);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        const std::string out = tree_.path("out"), err = tree_.path("err");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = 0;
        Outcome run;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 && waitpid(pid, &run.status, 0) == pid)
            run.status = WIFEXITED(run.status) ? WEXITSTATUS(run.status) : -1;
        posix_spawn_file_actions_destroy(&actions);
        run.out = contents(out);
        run.err = contents(err);
        return run;
    }

    ombrix::test::TempTree tree_;
    const std::string store_ = tree_.path("settings.db");
};

TEST_F(SettingsTool, getPrintsTheStoredTextOrTheDefault)
{
    const Outcome set = tool({"--key", "Software\\Ombrix", "set", "Status", "65280"});
    EXPECT_EQ(set.status, 0);
    EXPECT_EQ(set.out + set.err, "");
    EXPECT_EQ(tool({"--key", "SOFTWARE\\ombrix", "get", "status"}).out, "65280\n");
    EXPECT_EQ(tool({"get", "Status"}).out, "\n");
    EXPECT_EQ(tool({"get", "Status", "?"}).out, "?\n");

    ASSERT_EQ(tool({"set", "Bytes", "\xff\xfe caf\xe9"}).status, 0);
    const Outcome get = tool({"get", "Bytes", "?"});
    EXPECT_EQ(get.status, 0);
    EXPECT_EQ(get.out, "\xff\xfe caf\xe9\n");
}

TEST_F(SettingsTool, listShowsEachTypeAsText)
{
    ASSERT_EQ(tool({"set", "Status", "255"}).status, 0);
    ASSERT_EQ(tool({"set-dword", "Count", "4294967295"}).status, 0);
    ASSERT_EQ(tool({"set", "Empty", ""}).status, 0);
    sqlite3* db = nullptr;
    sqlite3_open(store_.c_str(), &db);
    ASSERT_EQ(sqlite3_exec(db,
                           "INSERT INTO key_values VALUES ('', 'Binary', 3, x'00ff10'), ('', 'Cut', 1, x'61006200')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    const Outcome list = tool({"list"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "Binary\t3\t00ff10\nCount\t4\t4294967295\nCut\t1\ta\nEmpty\t1\t\nStatus\t1\t255\n");
    EXPECT_EQ(tool({"--key", "Missing", "list"}).out, "");
}

TEST_F(SettingsTool, deleteRemovesTheValue)
{
    ASSERT_EQ(tool({"set", "Status", "255"}).status, 0);
    EXPECT_EQ(tool({"delete", "STATUS"}).status, 0);
    EXPECT_EQ(tool({"get", "Status", "?"}).out, "?\n");
    EXPECT_EQ(tool({"delete", "Status"}).status, 0);
}

TEST_F(SettingsTool, usageErrorsExitTwoWithoutTouchingTheStore)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"--key"},
        {"get"},
        {"get", "a", "b", "c"},
        {"set", "a"},
        {"set-dword", "a", "x"},
        {"set-dword", "a", "-1"},
        {"set-dword", "a", "4294967296"},
        {"list", "extra"},
        {"delete"},
    };
    for (const auto& args : cases) {
        const Outcome run = tool(args);
        const std::string shown = args.empty() ? "(none)" : args[0];
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_NE(run.err.find("usage: ombrix-settings"), std::string::npos) << shown;
    }
    EXPECT_FALSE(tree_.exists("settings.db"));
}

TEST_F(SettingsTool, refusingStoreExitsOne)
{
    ombrix::test::writeFile(store_, "not a settings store");
    const std::vector<std::vector<std::string>> refused = {
        {"set", "a", "b"}, {"set-dword", "a", "1"}, {"list"}, {"delete", "a"}};
    for (const auto& args : refused) {
        const Outcome run = tool(args);
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_NE(run.err.find(store_), std::string::npos) << args[0];
    }
    EXPECT_EQ(tool({"get", "a", "?"}).out, "?\n");
    EXPECT_EQ(contents(store_), "not a settings store");
}

}  // namespace
