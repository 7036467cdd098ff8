#include "MessagePump.h"

namespace ombrix::MessagePump {

namespace {

int holds = 0;

BOOL CALLBACK findVisible(HWND window, LPARAM found)
{
    if (!IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND anyVisibleWindow()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findVisible, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

void dispatch(MSG& message)
{
    HWND top = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (top && IsDialogMessageA(top, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

void runPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        dispatch(message);
}

void run()
{
    // Checked between messages only: within one handler a window may close
    // just before the other one comes back.
    MSG message;
    while ((holds > 0 || anyVisibleWindow()) && GetMessageA(&message, nullptr, 0, 0) > 0)
        dispatch(message);
}

void hold(bool holding)
{
    holds += holding ? 1 : -1;
}

HWND activeWindow()
{
    HWND active = GetActiveWindow();
    return active && IsWindowVisible(active) ? active : anyVisibleWindow();
}

}  // namespace ombrix::MessagePump
