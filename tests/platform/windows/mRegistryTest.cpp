// mRegistry.h comes first: <windows.h> makes its constants' names macros.
#include "mRegistry.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace ombrix::mRegistry {
namespace {

constexpr Hive kUser = 0x80000001;

std::string read(const std::string& key, const std::string& name)
{
    return ReadRegString(kUser, key, name, "?");
}

// A key of this test run's own below HKEY_CURRENT_USER, deleted afterwards;
// the values another program put there are written and read with the raw calls.
class Registry : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }

    void writeRaw(const std::string& name, DWORD type, const std::string& data) const
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, key_.c_str(), &key), ERROR_SUCCESS);
        RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }

    const std::string key_ =
        "Software\\OmbrixTest-" + std::to_string(GetCurrentProcessId()) + '-' + std::to_string(GetTickCount64());
};

// Each row writes a text, then reads it under the given (possibly other) spelling of key and name.
TEST_F(Registry, textsReadBackByteForByteUnderTheRegistrysOwnSpellings)
{
    const std::string sub = key_ + "\\Deeper\\Still";
    const struct { std::string key, name, text, readKey, readName, read; } cases[] = {
        {sub, "Last Check", "05/12/2026 15:14", sub, "LAST CHECK", "05/12/2026 15:14"},
        {key_, "na\xefve", "\x80\xfe text \xc9", key_, "na\xefve", "\x80\xfe text \xc9"},
        {key_, "Empty", "", key_, "Empty", ""},
        {key_, "Cut", std::string("ab\0cd", 5), key_, "Cut", "ab"},
        {key_, "Status", "255", key_ + "\\Deeper", "Status", "?"},
        {key_, "Missing", "x", key_ + "\\Absent", "Missing", "?"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteRegString(kUser, c.key, c.name, c.text)) << c.name;
        EXPECT_EQ(read(c.readKey, c.readName), c.read) << c.name;
    }
    // Stored as the text's characters with no NUL after them. The ANSI query
    // would add one where the buffer has room, so the stored form is read wide.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, key_.c_str(), &key), ERROR_SUCCESS);
    wchar_t data[16];
    DWORD size = sizeof data;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"Status", nullptr, &type, reinterpret_cast<BYTE*>(data), &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(std::wstring(data, size / sizeof(wchar_t)), L"255");
}

// Values of other types are another program's: read as the default, listed
// as they are, kept byte for byte through our writes and deletions.
TEST_F(Registry, anotherProgramsValuesAreLeftAsTheyAre)
{
    writeRaw("binary", REG_BINARY, std::string("\x00\xff\x10", 3));
    writeRaw("Expand", REG_EXPAND_SZ, std::string("%TEMP%\\x\0", 9));
    writeRaw("Multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    ASSERT_TRUE(WriteRegDword(kUser, key_, "Count", 0x01020304));
    EXPECT_EQ(read(key_, "Count"), "?");
    EXPECT_EQ(read(key_, "Expand"), "?");
    ASSERT_TRUE(WriteRegString(kUser, key_, "Status", "65280"));
    EXPECT_TRUE(DeleteRegValue(kUser, key_, "status"));
    EXPECT_TRUE(DeleteRegValue(kUser, key_, "Status"));
    EXPECT_TRUE(DeleteRegValue(kUser, key_ + "\\Absent", "Status"));

    const auto values = ListRegValues(kUser, key_);
    ASSERT_TRUE(values);
    std::vector<std::string> listed;
    for (const RegValue& value : *values)
        listed.push_back(value.name + '|' + std::to_string(value.type) + '|' + value.data);
    const std::vector<std::string> expected = {
        std::string("binary|3|\x00\xff\x10", 12), std::string("Count|4|\x04\x03\x02\x01", 12),
        std::string("Expand|2|%TEMP%\\x\0", 18), std::string("Multi|7|a\0b\0\0", 13),
    };
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(ListRegValues(kUser, key_ + "\\Absent")->empty());
}

TEST_F(Registry, onlyThePredefinedHivesAreTaken)
{
    EXPECT_FALSE(WriteRegString(0x12345678, key_, "Status", "255"));
    EXPECT_FALSE(LastRegError().empty());
    EXPECT_EQ(ReadRegString(0x12345678, key_, "Status", "?"), "?");
    EXPECT_FALSE(ListRegValues(0x12345678, key_));
    EXPECT_EQ(SettingsFile(), "HKEY_CURRENT_USER");
}

}  // namespace
}  // namespace ombrix::mRegistry
