#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The per-user settings store: named values under `\`-separated key paths,
// kept in the registry below HKEY_CURRENT_USER on Windows and in one SQLite
// file per user on Linux. Every call opens the store, does its one thing and
// closes it again.
namespace ombrix::mRegistry {

using Hive = std::uint32_t;
inline constexpr Hive HKEY_CURRENT_USER = 0x80000001;

// Value types as the registry numbers them; other programs may store others.
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_DWORD = 4;

struct RegValue {
    std::string name;
    std::uint32_t type = 0;
    std::string data;
};

// Where the store is, as messages name it. On Windows "HKEY_CURRENT_USER".
// On Linux the store file: $OMBRIX_SETTINGS when set and non-empty, else
// ${XDG_CONFIG_HOME:-$HOME/.config}/ombrix/settings.db; empty when neither
// variable gives a place.
std::string SettingsFile();

// The text of a string value (type 1) up to its first NUL; `defaultText` when
// the store, key or value is missing, the value has another type, or anything fails.
std::string ReadRegString(Hive hive, const std::string& keyPath, const std::string& valueName,
                          const std::string& defaultText);

// Stores `text` as a string value, creating missing keys along `keyPath`.
// True when the value was stored.
bool WriteRegString(Hive hive, const std::string& keyPath, const std::string& valueName,
                    const std::string& text);

// Stores `number` as a 32-bit number value (type 4, four little-endian bytes),
// creating missing keys along `keyPath`. True when the value was stored.
bool WriteRegDword(Hive hive, const std::string& keyPath, const std::string& valueName,
                   std::uint32_t number);

// Every value directly under `keyPath`, ordered by name ignoring ASCII case.
// Empty when the store file or the key does not exist; nullopt when the store
// cannot be read.
std::optional<std::vector<RegValue>> ListRegValues(Hive hive, const std::string& keyPath);

// Why the last failed call of this thread failed, in words (for the terminal
// tools); empty when it did not fail.
std::string LastRegError();

// Removes a value. True when it is gone afterwards, also when there was none;
// false when the store refuses.
bool DeleteRegValue(Hive hive, const std::string& keyPath, const std::string& valueName);

}  // namespace ombrix::mRegistry
