#include "mExe.h"

#include <windows.h>
#include <shellapi.h>

#include "Paths.h"

namespace ombrix::mExe {

void ShellOpen(const std::string& file, const std::string& parameters, int showMode)
{
    const std::string folder = ProgramFolder();
    ShellExecuteA(nullptr, "Open", file.c_str(), parameters.c_str(), folder.empty() ? nullptr : folder.c_str(),
                  showMode);
}

void OpenFileManager(const std::string& folder)
{
    // The folder goes unquoted, blanks and all, as it is.
    std::string commandLine = "explorer.exe " + folder;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &started)) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
}

}  // namespace ombrix::mExe
