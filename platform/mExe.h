#pragma once

#include <string>

// Starting other programs, never waited for. Failures are ignored.
namespace ombrix::mExe {

// Starts `file` with `parameters`, in the program folder, as the platform's
// shell does: on Windows through the shell's "Open" with the window show
// mode `showMode` (0 hidden, 1 normal); on Linux spawned directly and
// detached, the parameters split at blanks, `showMode` without meaning.
void ShellOpen(const std::string& file, const std::string& parameters, int showMode);

// Opens `folder` in the platform's file manager: on Windows the command line
// "explorer.exe " followed by the folder, unquoted, in a normal window; on
// Linux xdg-open with the folder as one argument, the user's home for none.
void OpenFileManager(const std::string& folder);

}  // namespace ombrix::mExe
