#include "Desktop.h"

#include <windows.h>

#include "WideText.h"

namespace ombrix::update {

// A console program started from the desktop gets a console of its own; one
// started from a terminal shares the terminal's.
bool StartedFromDesktop()
{
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2) == 1;
}

bool LogsEveryUpdate()
{
    return true;
}

bool TerminalShowsProgress()
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

Outcome UpdateInWindow(int&, char**, const std::function<Outcome(UpdateReport&)>& update)
{
    // The console the system made for this start is no place for a person to read.
    FreeConsole();
    struct Silent : UpdateReport {
        void step(const std::string&) override {}
        void progress(std::uint64_t, std::uint64_t) override {}
    } report;
    const Outcome outcome = update(report);
    // The outcome in words is all a person who chose "Check for Updates" waits for.
    const std::wstring text = wide(outcome.message);
    MessageBoxW(nullptr, text.c_str(), L"Ombrix Update",
                MB_OK | MB_SETFOREGROUND | (outcome.status == kFailed ? MB_ICONERROR : MB_ICONINFORMATION));
    return outcome;
}

}  // namespace ombrix::update
