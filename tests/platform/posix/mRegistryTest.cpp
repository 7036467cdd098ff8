#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TempTree.h"
#include "mRegistry.h"

namespace {

using namespace ombrix::mRegistry;
namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

constexpr Hive kUser = HKEY_CURRENT_USER;

// Runs SQL on a file as another program would; the first column of every row.
Rows sql(const std::string& file, const char* statements)
{
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    Rows rows;
    const auto collect = [](void* out, int, char** columns, char**) {
        static_cast<Rows*>(out)->emplace_back(columns[0] ? columns[0] : "NULL");
        return 0;
    };
    sqlite3_exec(db, statements, collect, &rows, nullptr);
    sqlite3_close(db);
    return rows;
}

std::string read(const std::string& key, const std::string& name) { return ReadRegString(kUser, key, name, "?"); }

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { useStore(file_); }

    static void useStore(const std::string& file) { setenv("OMBRIX_SETTINGS", file.c_str(), 1); }

    ombrix::test::TempTree tree_;
    const std::string file_ = tree_.path("config/ombrix/settings.db");
};

// Each row writes a text, then reads it under the given (possibly other) spelling of key and name.
TEST_F(SettingsStore, textsReadBackByteForByteUnderEquivalentKeysAndNames)
{
    const struct { std::string key, name, text, readKey, readName, read; } cases[] = {
        {"Software\\Ombrix", "Last Check", "05/12/2026 15:14", "SOFTWARE\\ombrix", "LAST CHECK", "05/12/2026 15:14"},
        {"caf\xe9\\\xff", "na\xefve", "\x80\xfe text \xc3", "caf\xe9\\\xff", "na\xefve", "\x80\xfe text \xc3"},
        {"", "Empty", "", "\\", "Empty", ""},
        {"", "Cut", std::string("ab\0cd", 5), "", "Cut", "ab"},
        {"", "\xc9", "only A-Z fold", "", "\xe9", "?"},
        {"\\Software\\\\Ombrix\\", "Found", "3", "Software\\Ombrix", "Found", "3"},
        {"", "Status", "255", "Software", "Status", "?"},
        {"software\\OMBRIX", "last check", "later", "Software\\Ombrix", "Last Check", "later"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteRegString(kUser, c.key, c.name, c.text)) << c.name;
        EXPECT_EQ(read(c.readKey, c.readName), c.read) << c.name;
    }
    // One value per name, spelled as first written, its bytes kept whole.
    EXPECT_EQ(sql(file_, "SELECT key || '|' || name || '|' || hex(data) FROM key_values"
                         " WHERE name IN ('cut', 'last check') ORDER BY name"),
              (Rows{"|Cut|6162006364", "Software\\Ombrix|Last Check|6C61746572"}));
    // Private to the user: the folders made for it and the file.
    EXPECT_EQ(fs::status(tree_.path("config")).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(tree_.path("config/ombrix")).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(file_).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// Reading, listing and deleting never create the store, nor does writing to another hive.
TEST_F(SettingsStore, aNumberReadsAsTheDefaultUntilATextReplacesIt)
{
    EXPECT_EQ(read("", "Status"), "?");
    EXPECT_TRUE(ListRegValues(kUser, "")->empty());
    EXPECT_TRUE(DeleteRegValue(kUser, "", "Status"));
    EXPECT_FALSE(WriteRegString(HKEY_CURRENT_USER + 1, "", "Status", "255"));
    EXPECT_FALSE(tree_.exists("config"));

    ASSERT_TRUE(WriteRegDword(kUser, "A\\B\\C", "Count", 0x01020304));
    EXPECT_EQ(read("A\\B\\C", "Count"), "?");
    EXPECT_EQ(sql(file_, "SELECT type || '|' || hex(data) FROM key_values"), Rows{"4|04030201"});
    ASSERT_TRUE(WriteRegString(kUser, "a\\b\\c", "count", "7"));
    EXPECT_EQ(read("A\\B\\C", "Count"), "7");
}

// The folder's names and, for regular files, their bytes: a refused store must leave both as they were.
std::string fingerprint(const std::string& folder)
{
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(folder))
        entries.push_back(entry.path().filename().string() + "\n" +
                          (entry.is_regular_file() && !entry.is_symlink() ? ombrix::test::readFile(entry.path()) : ""));
    std::sort(entries.begin(), entries.end());
    std::string text;
    for (const auto& entry : entries)
        text += entry;
    return text;
}

// None of these may be used as the store: every call is refused at once,
// nothing is written to the file and nothing appears beside it.
TEST_F(SettingsStore, aFileThatIsNotOurStoreIsRefusedAndLeftAlone)
{
    ASSERT_TRUE(WriteRegString(kUser, "", "Status", "255"));
    tree_.symlink("foreign/link.db", file_);
    tree_.file("foreign/garbage.db", std::string(8192, '\x5a') + "SQLite format 3");
    sql(tree_.path("foreign/other-schema.db"), "CREATE TABLE t (x); INSERT INTO t VALUES (1);");
    sql(tree_.path("foreign/other-version.db"),
        "CREATE TABLE keys (path TEXT); CREATE TABLE key_values (key, name, type, data); PRAGMA user_version = 2;");
    sql(tree_.path("foreign/look-alike.db"),
        "PRAGMA journal_mode = WAL; CREATE TABLE keys (path TEXT);"
        " CREATE TABLE key_values (key, name, type, data); PRAGMA user_version = 1;");
    sql(tree_.path("foreign/claimed.db"), "PRAGMA application_id = 7; VACUUM;");
    sql(tree_.path("foreign/unclaimed.db"), "VACUUM;");
    tree_.fifo("foreign/fifo");
    const std::string before = fingerprint(tree_.path("foreign"));
    // A call that blocks (on the FIFO, say) fails the test instead of hanging it.
    alarm(20);
    for (const char* name : {"link.db", "garbage.db", "other-schema.db", "other-version.db", "look-alike.db",
                             "claimed.db", "unclaimed.db", "fifo"}) {
        useStore(tree_.path("foreign/") + name);
        EXPECT_FALSE(WriteRegString(kUser, "A", "Status", "0")) << name;
        EXPECT_FALSE(DeleteRegValue(kUser, "", "Status")) << name;
        EXPECT_FALSE(ListRegValues(kUser, "")) << name;
        EXPECT_EQ(read("", "Status"), "?") << name;
    }
    alarm(0);
    EXPECT_EQ(fingerprint(tree_.path("foreign")), before);

    tree_.symlink("linked-config", tree_.path("config"));
    useStore(tree_.path("linked-config/ombrix/settings.db"));
    EXPECT_EQ(read("", "Status"), "255") << "a linked folder above the store is fine";
    EXPECT_TRUE(WriteRegString(kUser, "", "Status", "0"));
}

// Stores made before stores were marked as ours keep their values, also where
// the reader cannot make the write-ahead log's files beside them; a write marks
// them and ends their write-ahead log. What their first write left when cut
// short is a store without values.
TEST_F(SettingsStore, storesOfAnEarlierVersionAreReadAndTakenOverByTheirNextWrite)
{
    ASSERT_TRUE(WriteRegString(kUser, "", "AutoRepair", "0"));
    sql(file_, "PRAGMA application_id = 0; PRAGMA journal_mode = WAL");
    EXPECT_EQ(read("", "AutoRepair"), "0");
    if (geteuid() == 0) {
        fs::permissions(tree_.path("config"), fs::perms(0755));
        fs::permissions(tree_.path("config/ombrix"), fs::perms(0555));
        fs::permissions(file_, fs::perms(0644));
        EXPECT_EXIT(std::_Exit(setuid(65534) == 0 && read("", "AutoRepair") == "0" ? 0 : 1),
                    ::testing::ExitedWithCode(0), "");
        fs::permissions(tree_.path("config/ombrix"), fs::perms(0700));
    }
    ASSERT_TRUE(WriteRegString(kUser, "", "Status", "255"));
    EXPECT_EQ(sql(file_, "PRAGMA journal_mode; PRAGMA application_id"), (Rows{"delete", "1332568696"}));

    tree_.file("cut-short.db");
    sql(tree_.path("cut-short.db"), "PRAGMA journal_mode = WAL");
    useStore(tree_.path("cut-short.db"));
    EXPECT_EQ(ListRegValues(kUser, "").value_or(std::vector<RegValue>(1)).size(), 0u);
    EXPECT_TRUE(WriteRegString(kUser, "", "Status", "255"));
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
