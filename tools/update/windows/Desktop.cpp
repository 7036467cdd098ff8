#include "Desktop.h"

#include <windows.h>

#include <thread>

#include "UpdateWindow.h"

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
    UpdateWindow window;
    Outcome outcome;
    std::thread worker([&] {
        outcome = update(window);
        window.finish(outcome);
    });
    window.run();
    worker.join();
    return outcome;
}

}  // namespace ombrix::update
