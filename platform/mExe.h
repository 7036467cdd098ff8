#pragma once

#include <string>

// Starting other programs: spawned directly (no shell), detached, never waited for.
namespace ombrix::mExe {

// Starts `file` with `parameters` split at blanks, in the program folder.
// `showMode` (0 hidden, 1 normal) has no meaning here. Failures are ignored.
void ShellOpen(const std::string& file, const std::string& parameters, int showMode);

// Opens `folder` in the desktop's file manager (xdg-open, the folder as one
// argument); an empty folder opens the user's home. Failures are ignored.
void OpenFileManager(const std::string& folder);

}  // namespace ombrix::mExe
