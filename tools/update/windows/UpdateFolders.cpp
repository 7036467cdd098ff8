#include "UpdateFolders.h"

#include <windows.h>

#include <shlobj.h>

#include "Paths.h"

namespace ombrix::update {

namespace {

// ProgramData, which every user may read and only administrators may change.
// The environment's value comes first, as Windows sets it for every process: a
// user who changes it moves only a floor that guards a program folder they may
// not write anyway (and lets tests keep a ProgramData of their own).
std::string programData()
{
    char path[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA("ProgramData", path, sizeof path);
    if (length > 0 && length < sizeof path)
        return path;
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
