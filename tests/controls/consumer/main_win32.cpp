// Presses Enter and then Space on a button in a window with a default OK
// button, through the dialog manager as a user's keys go, and exits 0 when
// the button was clicked twice and OK never.
#include <VarnoButton/VarnoButtonWindow.h>

#include <cstdio>

namespace {

int buttonClicks = 0, okClicks = 0;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == 7 && HIWORD(wParam) == BN_CLICKED)
        ++buttonClicks;
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
        ++okClicks;
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    ombrix::RegisterVarnoButton(instance);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"Consumer";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, L"Consumer", L"Consumer", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                        0, 0, 300, 120, nullptr, nullptr, instance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 160, 10, 80, 30,
                    window, HMENU(IDOK), instance, nullptr);
    const HWND save = CreateWindowExW(0, ombrix::kVarnoButtonClass, L"&Save", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                      10, 10, 100, 30, window, HMENU(7), instance, nullptr);
    SetFocus(save);
    for (const WPARAM key : {WPARAM(VK_RETURN), WPARAM(VK_SPACE)}) {
        PostMessageW(save, WM_KEYDOWN, key, 1);
        PostMessageW(save, WM_KEYUP, key, 0xC0000001);
    }
    PostMessageW(window, WM_APP, 0, 0);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_APP) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (buttonClicks != 2 || okClicks != 0) {
        std::fprintf(stderr, "consumer: %d clicks of the button, %d of OK\n", buttonClicks, okClicks);
        return 1;
    }
    return 0;
}
