#pragma once

#include "Win32.h"

#include <string>

// Building blocks shared by the program's two windows.
namespace ombrix::Controls {

// Arial at `points` (8.25, 9.75, ...), scaled to the system's DPI.
HFONT arial(double points, bool bold, bool underline = false);

// A child control of window class `className` at a place given in twips.
HWND child(const char* className, const std::string& text, DWORD style, HWND parent, int id, HFONT font,
           int left, int top, int width, int height, DWORD exStyle = 0);

// A label: left-aligned plain text, no "&" mnemonics.
HWND label(HWND parent, int id, const std::string& text, HFONT font, int left, int top, int width, int height,
           DWORD extraStyle = 0);

// A picture showing `bitmap` at its own size.
HWND picture(HWND parent, int id, HBITMAP bitmap, int left, int top, int width, int height,
             DWORD extraStyle = 0);

// A panel: a plain child window in the window colour that holds other controls
// and passes their notifications on to its own parent. Its edge is drawn by
// `edge` (EDGE_ETCHED and the like) or, with `outline`, as a one-pixel line.
HWND panel(HWND parent, int left, int top, int width, int height, UINT edge, COLORREF outline = CLR_INVALID);

// A horizontal etched rule from (x1, y) to (x2, y), in twips.
HWND rule(HWND parent, int x1, int y, int x2);

std::string text(HWND window);

// The size in pixels of `text` on one line in `font`.
SIZE textSize(HWND window, HFONT font, const std::string& text);

// The text of a label, without redrawing when it has not changed.
void setText(HWND window, const std::string& text);

// The window procedure of a view's top-level window: the view passed as the
// creation parameter learns its window (`window_`) and gets every message
// through its `handle`.
template <class View>
LRESULT CALLBACK viewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* view = static_cast<View*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        view->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    auto* view = reinterpret_cast<View*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return view ? view->handle(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

// Registers, once per view type, the window class whose messages go to that
// view. `icon(size)` gives the class's icon at the size the system asks for.
template <class View, class Icon>
void registerViewClass(const char* className, Icon icon)
{
    static const bool registered = [&] {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = viewWindowProc<View>;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.hIcon = icon(GetSystemMetrics(SM_CXICON));
        windowClass.hIconSm = icon(GetSystemMetrics(SM_CXSMICON));
        windowClass.lpszClassName = className;
        return RegisterClassExA(&windowClass) != 0;
    }();
    (void)registered;
}

}  // namespace ombrix::Controls
