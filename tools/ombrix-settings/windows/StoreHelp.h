#pragma once

// The usage's last line: where the store is.
inline constexpr const char* kStoreHelp = "The store is the registry, below HKEY_CURRENT_USER.\n";
