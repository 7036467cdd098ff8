#include "UpdateFolders.h"

#include "Paths.h"

namespace ombrix::update {

namespace {

std::string builtOr(const char* built, const std::string& fallback)
{
    return *built ? std::string(built) : fallback;
}

}  // namespace

UpdateFolders BuiltUpdateFolders(const std::string& programFolder)
{
    const std::string state = builtOr(OMBRIX_STATE_DIR, programFolder);
    return {programFolder, state, state, builtOr(OMBRIX_CONFIG_DIR, programFolder),
            builtOr(OMBRIX_KEYRING_DIR, programFolder + kPathSeparator + "update-keys")};
}

}  // namespace ombrix::update
