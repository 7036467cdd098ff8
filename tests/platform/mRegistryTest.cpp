#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "TempTree.h"
#include "mRegistry.h"

namespace {

using namespace ombrix::mRegistry;
namespace fs = std::filesystem;

constexpr Hive kUser = HKEY_CURRENT_USER;

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Rows of one SQL query on the store, columns joined with '|', as the sqlite3 shell shows them.
std::vector<std::string> query(const std::string& file, const std::string& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::vector<std::string> rows;
    sqlite3_exec(
        db, sql.c_str(),
        [](void* out, int count, char** columns, char**) {
            std::string row;
            for (int i = 0; i < count; ++i)
                row += (i ? "|" : "") + std::string(columns[i] ? columns[i] : "NULL");
            static_cast<std::vector<std::string>*>(out)->push_back(row);
            return 0;
        },
        &rows, nullptr);
    sqlite3_close(db);
    return rows;
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { useStore(file_); }

    static void useStore(const std::string& file) { setenv("OMBRIX_SETTINGS", file.c_str(), 1); }

    ombrix::test::TempTree tree_;
    const std::string file_ = tree_.path("config/ombrix/settings.db");
};

TEST_F(SettingsStore, textsRoundTripByteForByte)
{
    const std::vector<std::vector<std::string>> cases = {
        {"Software\\Ombrix", "Status", "65280"},
        {"", "Last Check", "05/12/2026 15:14:46"},
        {"caf\xe9\\\xff", "na\xefve", "\x80\xfe text \xc3"},
        {"", "Empty", ""},
    };
    for (const auto& c : cases)
        ASSERT_TRUE(WriteRegString(kUser, c[0], c[1], c[2])) << c[1];
    for (const auto& c : cases)
        EXPECT_EQ(ReadRegString(kUser, c[0], c[1], "?"), c[2]) << c[1];

    ASSERT_TRUE(WriteRegString(kUser, "", "Last Check", "later"));
    EXPECT_EQ(ReadRegString(kUser, "", "Last Check", "?"), "later");
    EXPECT_EQ(ReadRegString(kUser, "", "Missing", "?"), "?");
    EXPECT_EQ(fs::status(tree_.path("config")).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(tree_.path("config/ombrix")).permissions(), fs::perms::owner_all);
}

TEST_F(SettingsStore, textReadsUpToItsFirstNul)
{
    const std::string stored("ab\0cd", 5);
    ASSERT_TRUE(WriteRegString(kUser, "", "Cut", stored));
    EXPECT_EQ(ReadRegString(kUser, "", "Cut", "?"), "ab");
    EXPECT_EQ(ListRegValues(kUser, "")->at(0).data, stored);
}

TEST_F(SettingsStore, numberValueReadsAsDefault)
{
    ASSERT_TRUE(WriteRegDword(kUser, "", "Count", 0x01020304));
    EXPECT_EQ(ReadRegString(kUser, "", "Count", "?"), "?");
    const auto values = ListRegValues(kUser, "");
    ASSERT_EQ(values->size(), 1u);
    EXPECT_EQ(values->at(0).type, REG_DWORD);
    EXPECT_EQ(values->at(0).data, "\x04\x03\x02\x01");

    ASSERT_TRUE(WriteRegString(kUser, "", "count", "7"));
    EXPECT_EQ(ReadRegString(kUser, "", "Count", "?"), "7");
}

TEST_F(SettingsStore, keyPathsAndNamesIgnoreAsciiCase)
{
    ASSERT_TRUE(WriteRegString(kUser, "Software\\Ombrix", "Last Check", "one"));
    EXPECT_EQ(ReadRegString(kUser, "SOFTWARE\\ombrix", "LAST CHECK", "?"), "one");
    ASSERT_TRUE(WriteRegString(kUser, "software\\OMBRIX", "last check", "two"));
    const auto values = ListRegValues(kUser, "Software\\Ombrix");
    ASSERT_EQ(values->size(), 1u);
    EXPECT_EQ(values->at(0).name, "Last Check");
    EXPECT_EQ(values->at(0).data, "two");
    EXPECT_EQ(query(file_, "SELECT key FROM key_values"), std::vector<std::string>{"Software\\Ombrix"});

    ASSERT_TRUE(WriteRegString(kUser, "", "\xc9", "upper"));
    EXPECT_EQ(ReadRegString(kUser, "", "\xe9", "?"), "?");  // only A-Z fold
}

TEST_F(SettingsStore, emptyKeyPathIsTheTop)
{
    ASSERT_TRUE(WriteRegString(kUser, "", "Status", "255"));
    EXPECT_EQ(ReadRegString(kUser, "\\", "Status", "?"), "255");
    EXPECT_EQ(ReadRegString(kUser, "Software", "Status", "?"), "?");
    ASSERT_TRUE(WriteRegString(kUser, "\\Software\\\\Ombrix\\", "Found", "3"));
    EXPECT_EQ(ReadRegString(kUser, "Software\\Ombrix", "Found", "?"), "3");
    EXPECT_EQ(ReadRegString(kUser, "", "Found", "?"), "?");
}

TEST_F(SettingsStore, writeCreatesEveryKeyAlongThePathAndOthersCanReadIt)
{
    ASSERT_TRUE(WriteRegString(kUser, "A\\B\\C", "Looked For", "61"));
    EXPECT_EQ(query(file_, "SELECT path FROM keys ORDER BY path"),
              (std::vector<std::string>{"", "A", "A\\B", "A\\B\\C"}));
    EXPECT_EQ(query(file_, "PRAGMA user_version"), std::vector<std::string>{"1"});
    EXPECT_EQ(query(file_, "PRAGMA journal_mode"), std::vector<std::string>{"wal"});
    EXPECT_EQ(query(file_, "SELECT CAST(data AS TEXT) FROM key_values"
                           " WHERE key = 'a\\b\\c' AND name = 'looked for' AND type = 1"),
              std::vector<std::string>{"61"});
}

TEST_F(SettingsStore, readsAndOtherHivesNeverCreateTheStore)
{
    EXPECT_EQ(ReadRegString(kUser, "", "Status", "?"), "?");
    EXPECT_TRUE(ListRegValues(kUser, "")->empty());
    EXPECT_TRUE(DeleteRegValue(kUser, "", "Status"));

    const Hive localMachine = 0x80000002;
    EXPECT_FALSE(WriteRegString(localMachine, "", "Status", "255"));
    EXPECT_FALSE(WriteRegDword(localMachine, "", "Status", 255));
    EXPECT_FALSE(DeleteRegValue(localMachine, "", "Status"));
    EXPECT_FALSE(ListRegValues(localMachine, ""));
    EXPECT_FALSE(tree_.exists("config"));

    ASSERT_TRUE(WriteRegString(kUser, "", "Status", "255"));
    EXPECT_EQ(ReadRegString(localMachine, "", "Status", "?"), "?");
}

TEST_F(SettingsStore, foreignFileIsNeverModified)
{
    const std::string file = tree_.path("foreign.db");
    const auto makeDatabase = [&](const char* sql) {
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        sqlite3_close(db);
    };
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"garbage", [&] { ombrix::test::writeFile(file, std::string(8192, '\x5a') + "SQLite format 3"); }},
        {"other schema", [&] { makeDatabase("CREATE TABLE t (x); INSERT INTO t VALUES (1);"); }},
        {"other version", [&] {
             makeDatabase("CREATE TABLE keys (path TEXT); CREATE TABLE key_values (key, name, type, data);"
                          " PRAGMA user_version = 2;");
         }},
    };
    useStore(file);
    for (const auto& [name, make] : cases) {
        fs::remove(file);
        make();
        const std::string before = contents(file);
        EXPECT_FALSE(WriteRegString(kUser, "", "Status", "255")) << name;
        EXPECT_FALSE(WriteRegDword(kUser, "A", "Status", 255)) << name;
        EXPECT_FALSE(DeleteRegValue(kUser, "", "Status")) << name;
        EXPECT_FALSE(ListRegValues(kUser, "")) << name;
        EXPECT_EQ(ReadRegString(kUser, "", "Status", "?"), "?") << name;
        EXPECT_EQ(contents(file), before) << name;
    }
}

TEST_F(SettingsStore, unusableLocationRefusesWrites)
{
    tree_.file("plain-file", "not a folder");
    useStore(tree_.path("plain-file/settings.db"));
    EXPECT_FALSE(WriteRegString(kUser, "", "Status", "255"));
    EXPECT_EQ(ReadRegString(kUser, "", "Status", "?"), "?");

}

TEST_F(SettingsStore, linkAsStoreFileIsRefusedButLinkedFolderWorks)
{
    ASSERT_TRUE(WriteRegString(kUser, "", "Status", "255"));
    const std::string before = contents(file_);
    tree_.symlink("link.db", file_);
    useStore(tree_.path("link.db"));
    EXPECT_FALSE(WriteRegString(kUser, "", "Status", "0"));
    EXPECT_EQ(ReadRegString(kUser, "", "Status", "?"), "?");
    EXPECT_EQ(contents(file_), before);

    tree_.symlink("linked-config", tree_.path("config"));
    useStore(tree_.path("linked-config/ombrix/settings.db"));
    EXPECT_EQ(ReadRegString(kUser, "", "Status", "?"), "255");
    EXPECT_TRUE(WriteRegString(kUser, "", "Status", "0"));
}

// Two processes start on a missing store and write side by side;
// every write must land and none may fail on the other's lock.
TEST_F(SettingsStore, concurrentWritersLoseNothing)
{
    constexpr int kWrites = 1000;
    std::vector<pid_t> writers;
    for (const std::string process : {"P", "Q"}) {
        const pid_t pid = fork();
        ASSERT_NE(pid, -1);
        if (pid == 0) {
            int failures = 0;
            for (int n = 0; n < kWrites; ++n) {
                const std::string name = process + std::to_string(n);
                failures += !WriteRegString(kUser, "Software\\Ombrix", name, std::to_string(n))
                            || ReadRegString(kUser, "Software\\Ombrix", name, "?") != std::to_string(n);
            }
            _exit(failures == 0 ? 0 : 1);
        }
        writers.push_back(pid);
    }
    for (const pid_t pid : writers) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto values = ListRegValues(kUser, "Software\\Ombrix");
    ASSERT_EQ(values->size(), 2u * kWrites);
    for (const RegValue& value : *values)
        EXPECT_EQ(value.name.substr(1), value.data);
}

// HOME and XDG_CONFIG_HOME matter only here: every other test names its store directly.
TEST_F(SettingsStore, fileFollowsTheEnvironment)
{
    setenv("HOME", "/h", 1);
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsFile(), file_);
    setenv("OMBRIX_SETTINGS", "", 1);
    EXPECT_EQ(SettingsFile(), "/h/.config/ombrix/settings.db");
    setenv("XDG_CONFIG_HOME", "/c", 1);
    EXPECT_EQ(SettingsFile(), "/c/ombrix/settings.db");
    setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(SettingsFile(), "/h/.config/ombrix/settings.db");
    unsetenv("HOME");
    EXPECT_EQ(SettingsFile(), "");
}

}  // namespace
