#include "Controls.h"

#include <vector>

#include "Twips.h"

namespace ombrix::Controls {

namespace {

constexpr const char* kPanelClass = "OmbrixPanel";

struct PanelLook {
    UINT edge;
    COLORREF outline;
};

LRESULT CALLBACK panelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    // Controls tell their parent; the window that handles them is the panel's parent.
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return SendMessageA(GetParent(window), message, wParam, lParam);
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        const auto* look = reinterpret_cast<const PanelLook*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (look && look->outline != CLR_INVALID) {
            HBRUSH brush = CreateSolidBrush(look->outline);
            FrameRect(dc, &client, brush);
            DeleteObject(brush);
        } else if (look && look->edge != 0) {
            DrawEdge(dc, &client, look->edge, BF_RECT);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_NCDESTROY:
        delete reinterpret_cast<PanelLook*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void registerPanelClass()
{
    static const bool registered = [] {
        WNDCLASSA panelClass{};
        panelClass.lpfnWndProc = panelProc;
        panelClass.hInstance = GetModuleHandleA(nullptr);
        panelClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        panelClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        panelClass.lpszClassName = kPanelClass;
        return RegisterClassA(&panelClass) != 0;
    }();
    (void)registered;
}

}  // namespace

HFONT arial(double points, bool bold, bool underline)
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int height = -static_cast<int>(points * dpi / 72.0 + 0.5);
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
}

HWND child(const char* className, const std::string& text, DWORD style, HWND parent, int id, HFONT font,
           int left, int top, int width, int height, DWORD exStyle)
{
    HWND window = CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, px(left),
                                  px(top), px(width), px(height), parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                  nullptr);
    if (window && font)
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return window;
}

HWND label(HWND parent, int id, const std::string& text, HFONT font, int left, int top, int width, int height,
           DWORD extraStyle)
{
    return child("STATIC", text, SS_LEFT | SS_NOPREFIX | extraStyle, parent, id, font, left, top, width, height);
}

HWND picture(HWND parent, int id, HBITMAP bitmap, int left, int top, int width, int height, DWORD extraStyle)
{
    HWND window = child("STATIC", "", SS_BITMAP | extraStyle, parent, id, nullptr, left, top, width, height);
    SendMessageA(window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    return window;
}

HWND panel(HWND parent, int left, int top, int width, int height, UINT edge, COLORREF outline)
{
    registerPanelClass();
    HWND window = child(kPanelClass, "", WS_CLIPSIBLINGS, parent, 0, nullptr, left, top, width, height,
                        WS_EX_CONTROLPARENT);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new PanelLook{edge, outline}));
    return window;
}

HWND rule(HWND parent, int x1, int y, int x2)
{
    // An etched line is two pixels high whatever the DPI.
    HWND window = child("STATIC", "", SS_ETCHEDHORZ, parent, 0, nullptr, x1, y, x2 - x1, 0);
    SetWindowPos(window, nullptr, 0, 0, px(x2 - x1), 2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return window;
}

SIZE textSize(HWND window, HFONT font, const std::string& text)
{
    HDC dc = GetDC(window);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return size;
}

std::string text(HWND window)
{
    std::vector<char> buffer(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1);
    const int length = GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

void setText(HWND window, const std::string& newText)
{
    if (text(window) != newText)
        SetWindowTextA(window, newText.c_str());
}

}  // namespace ombrix::Controls
