// varnobutton-gallery [/grab FILE.bmp]: shows VarnoButton in every look; with
// /grab it saves a picture of its window and ends.

#include "GalleryWindow.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Saves what the screen shows of the window, as a 24-bit BMP file.
bool grab(HWND window, const wchar_t* path)
{
    RECT box{};
    GetWindowRect(window, &box);
    const int width = box.right - box.left, height = box.bottom - box.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = DWORD((width * 3 + 3) & ~3);
    const DWORD imageBytes = rowBytes * DWORD(height);
    BITMAPFILEHEADER file{0x4D42, DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) + imageBytes, 0, 0,
                          DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))};
    FILE* out = _wfopen(path, L"wb");
    bool written = out && fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1
        && fwrite(bits, imageBytes, 1, out) == 1;
    if (out)
        written = fclose(out) == 0 && written;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const wchar_t* grabPath = argc == 3 && std::wstring(argv[1]) == L"/grab" ? argv[2] : nullptr;

    ombrix::GalleryWindow gallery(instance, show);
    if (grabPath) {
        // Once everything has painted.
        SetTimer(gallery.window(), 1, 500, nullptr);
    }
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (grabPath && message.message == WM_TIMER && message.hwnd == gallery.window()) {
            KillTimer(gallery.window(), 1);
            const bool saved = grab(gallery.window(), grabPath);
            LocalFree(argv);
            return saved ? 0 : 1;
        }
        if (IsDialogMessageW(gallery.window(), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    LocalFree(argv);
    return int(message.wParam);
}
