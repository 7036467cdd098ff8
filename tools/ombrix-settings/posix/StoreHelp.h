#pragma once

// The usage's last line: where the store is.
inline constexpr const char* kStoreHelp =
    "The store is $OMBRIX_SETTINGS, else ${XDG_CONFIG_HOME:-$HOME/.config}/ombrix/settings.db.\n";
