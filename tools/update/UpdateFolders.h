#pragma once

#include <string>

namespace ombrix::update {

// Where the updater reads and writes. The program folder is where ombrix reads its
// list; the package keeps everything it does not own elsewhere (see the README):
// the installed list and the updater's state in `state`, the administrator's
// update.conf, keys and revocations in `config`, the shipped keys in `keyring`.
struct UpdateFolders {
    std::string program;
    std::string state;
    std::string config;
    std::string keyring;
};

// The folders this build was made for (OMBRIX_STATE_DIR, OMBRIX_CONFIG_DIR and
// OMBRIX_KEYRING_DIR); each left empty in the build means the program folder
// (update-keys/ in it for the keyring), as in the build tree and a prefix install.
UpdateFolders BuiltUpdateFolders(const std::string& programFolder);

}  // namespace ombrix::update
