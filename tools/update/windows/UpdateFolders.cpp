#include "UpdateFolders.h"

#include <windows.h>

#include <shlobj.h>

#include "Paths.h"

namespace ombrix::update {

namespace {

// ProgramData, which every user may read and only administrators may change.
std::string programData()
{
    char path[MAX_PATH] = "";
    if (SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
        return {};
    return path;
}

}  // namespace

UpdateFolders BuiltUpdateFolders(const std::string& programFolder)
{
    const std::string data = programData() + kPathSeparator + "Ombrix";
    return {programFolder, programFolder, data, data, programFolder + kPathSeparator + "update-keys"};
}

}  // namespace ombrix::update
