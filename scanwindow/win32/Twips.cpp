#include "Twips.h"

namespace ombrix {

namespace {

constexpr int kTwipsPerInch = 1440;

int systemDpi()
{
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int value = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return dpi;
}

}  // namespace

int px(int twips)
{
    return MulDiv(twips, systemDpi(), kTwipsPerInch);
}

void placeTwips(HWND window, int left, int top, int width, int height)
{
    MoveWindow(window, px(left), px(top), px(width), px(height), FALSE);
}

SIZE outerSizeForClient(int widthTwips, int heightTwips, DWORD style, DWORD exStyle)
{
    RECT frame{0, 0, px(widthTwips), px(heightTwips)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

}  // namespace ombrix
