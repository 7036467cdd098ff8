#pragma once

#include <string>

namespace ombrix::update {

// Where the updater reads and writes. The program folder is where ombrix reads its
// list; the Linux package keeps everything it does not own elsewhere (see the
// README): the installed list in `list`, the updater's state in `state`, the
// administrator's update.conf, keys and revocations in `config`, the shipped keys
// in `keyring`. On Linux the list lies in the state folder (the program folder's
// ombrix.ini leads there); on Windows it lies in the program folder, where ombrix
// reads it, and the rest in ProgramData.
struct UpdateFolders {
    std::string program;
    std::string list;
    std::string state;
    std::string config;
    std::string keyring;
};

// The folders this build was made for. Linux: OMBRIX_STATE_DIR, OMBRIX_CONFIG_DIR
// and OMBRIX_KEYRING_DIR, each left empty in the build meaning the program folder
// (update-keys/ in it for the keyring), as in the build tree and a prefix install.
// Windows: state and config in ProgramData\Ombrix, the shipped keys in the program
// folder's update-keys.
UpdateFolders BuiltUpdateFolders(const std::string& programFolder);

}  // namespace ombrix::update
