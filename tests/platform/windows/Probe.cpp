// platform-probe: the other process of the platform tests.
//   platform-probe hold NAME           takes the instance lock NAME, prints y (held) or n, then waits to be ended
//   platform-probe open-folder FOLDER  opens FOLDER in the file manager
//   platform-probe shell-open FILE PARAMETERS
//   platform-probe where               writes its program folder to %OMBRIX_PROBE_RECORD%
//   anything else: writes its command line and working folder to %OMBRIX_PROBE_RECORD%
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "InstanceLock.h"
#include "Paths.h"
#include "mExe.h"

namespace {

// Written whole, then renamed, so the test never reads half of it.
int record(const std::string& text)
{
    char target[MAX_PATH + 1] = "";
    if (!GetEnvironmentVariableA("OMBRIX_PROBE_RECORD", target, sizeof target))
        return 2;
    const std::string part = std::string(target) + ".part";
    std::ofstream(part, std::ios::binary) << text;
    return MoveFileExA(part.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "hold" && argc == 3) {
        const auto lock = ombrix::InstanceLock::acquire(argv[2]);
        std::fputs(lock && lock->held() ? "y" : "n", stdout);
        std::fflush(stdout);
        Sleep(INFINITE);
    }
    if (mode == "open-folder" && argc == 3) {
        ombrix::mExe::OpenFileManager(argv[2]);
        return 0;
    }
    if (mode == "shell-open" && argc == 4) {
        ombrix::mExe::ShellOpen(argv[2], argv[3], 1);
        return 0;
    }
    if (mode == "where")
        return record(ombrix::ProgramFolder() + '\n');
    char folder[MAX_PATH + 1] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    return record(std::string(GetCommandLineA()) + '\n' + folder + '\n');
}
