#pragma once

#include <cstdint>
#include <string>

// The per-user settings store: named text values under `\`-separated key paths,
// kept in one SQLite file per user ($OMBRIX_SETTINGS, else
// ${XDG_CONFIG_HOME:-$HOME/.config}/ombrix/settings.db). Every call opens the
// store, does its one thing and closes it again.
namespace ombrix::mRegistry {

using Hive = std::uint32_t;
inline constexpr Hive HKEY_CURRENT_USER = 0x80000001;

// The text of a string value (type 1) up to its first NUL; `defaultText` when
// the store, key or value is missing, the value has another type, or anything fails.
std::string ReadRegString(Hive hive, const std::string& keyPath, const std::string& valueName,
                          const std::string& defaultText);

// Stores `text` as a string value, creating missing keys along `keyPath`.
// True when the value was stored.
bool WriteRegString(Hive hive, const std::string& keyPath, const std::string& valueName,
                    const std::string& text);

}  // namespace ombrix::mRegistry
