#include "Terminal.h"

#include <io.h>
#include <windows.h>

#include "FolderAccess.h"

namespace ombrix::terminal {

namespace {

HANDLE consoleOf(std::FILE* stream)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
}

}  // namespace

// Names are written as their bytes in the system code page, lines end in CR LF
// as everywhere on this system, and a pipe closed early only fails the writes.
void prepare()
{
    DWORD mode = 0;
    const HANDLE err = consoleOf(stderr);
    if (GetConsoleMode(err, &mode))
        SetConsoleMode(err, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

bool isTerminal(std::FILE* stream)
{
    DWORD mode = 0;
    return GetConsoleMode(consoleOf(stream), &mode);
}

bool takesUtf8()
{
    return GetConsoleOutputCP() == CP_UTF8;
}

std::string folderProblem(const std::string& folder)
{
    std::string why;
    folder::openNamedFolder(folder, &why);
    return why;
}

}  // namespace ombrix::terminal
