#pragma once

#include <windows.h>

#include <string>

#include "Paths.h"

namespace ombrix::test {

// The folder of the test program, usable as a path. Wine names a program
// outside every drive "unix\..." without the "\\?\" that makes the name work.
inline std::string testProgramFolder()
{
    const std::string folder = ProgramFolder();
    return folder.starts_with("unix\\") ? "\\\\?\\" + folder : folder;
}

// The probe program built beside the test program.
inline std::string probeProgram()
{
    return testProgramFolder() + "\\platform-probe.exe";
}

// Starts `commandLine`; with `output` set, its standard output is the pipe
// whose reading end lands there. The process handle, or null.
inline HANDLE startProcess(std::string commandLine, HANDLE* output = nullptr)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    HANDLE writeEnd = nullptr;
    if (output) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        if (!CreatePipe(output, &writeEnd, &inherit, 0))
            return nullptr;
        SetHandleInformation(*output, HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = writeEnd;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    // Started in the temporary folder: under Wine the test's own may be no usable name.
    char folder[MAX_PATH + 1];
    GetTempPathA(sizeof folder, folder);
    PROCESS_INFORMATION started{};
    const BOOL ok = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, output != nullptr, 0, nullptr,
                                   folder, &startup, &started);
    if (writeEnd)
        CloseHandle(writeEnd);
    if (!ok)
        return nullptr;
    CloseHandle(started.hThread);
    return started.hProcess;
}

}  // namespace ombrix::test
