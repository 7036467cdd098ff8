#include "Termination.h"

#include <windows.h>

#include <atomic>

namespace ombrix {

namespace {

std::atomic<unsigned long> received{0};
// Set by the first request, so that a sleep ends at once.
HANDLE arrived = nullptr;

// Runs on a thread of its own that the system starts for each event.
BOOL WINAPI request(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        ++received;
        SetEvent(arrived);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        ++received;
        SetEvent(arrived);
        // The system ends the process as soon as this returns. Held here, the
        // scan stops and records its values, and the process ends when the
        // program returns, or at the system's time limit.
        Sleep(INFINITE);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void watchTermination()
{
    if (arrived)
        return;
    arrived = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(request, TRUE);
}

bool terminationRequested()
{
    return received != 0;
}

unsigned long terminationCount()
{
    return received;
}

int terminationDescriptor()
{
    return -1;
}

void sleepUnlessTerminated(std::chrono::nanoseconds span)
{
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(span).count();
    const DWORD wait = milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0;
    if (arrived)
        WaitForSingleObject(arrived, wait);
    else
        Sleep(wait);
}

}  // namespace ombrix
