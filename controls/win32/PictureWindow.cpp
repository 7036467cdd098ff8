#include "VarnoButton/PictureWindow.h"

#include "VarnoButton/VarnoButtonWindow.h"

#include <VarnoButton/Twips.h>

#include <cmath>
#include <vector>

namespace ombrix {

namespace {

constexpr wchar_t kPictureClass[] = L"VarnoButtonPicture";

COLORREF resolve(Color color)
{
    return color & SystemColor::Flag ? GetSysColor(int(color & 0xFF)) : COLORREF(color & 0x00FFFFFF);
}

}  // namespace

PictureWindow::PictureWindow(VarnoButtonWindow& button, double scale)
    : button_(button)
    , scale_(scale)
{
    const HINSTANCE instance = HINSTANCE(GetWindowLongPtrW(button.window(), GWLP_HINSTANCE));
    WNDCLASSW windowClass{};
    if (!GetClassInfoW(instance, kPictureClass, &windowClass)) {
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = proc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kPictureClass;
        RegisterClassW(&windowClass);
    }
    window_ = CreateWindowExW(0, kPictureClass, L"Picture1", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 1, 1, button.window(),
                              nullptr, instance, this);
    place();
}

PictureWindow::~PictureWindow()
{
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void PictureWindow::setLeft(float twips)
{
    left_ = twips;
    place();
}

void PictureWindow::setTop(float twips)
{
    top_ = twips;
    place();
}

bool PictureWindow::isVisible() const
{
    return (GetWindowLongW(window_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void PictureWindow::setVisible(bool visible)
{
    ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

void PictureWindow::setAutoSize(bool on)
{
    autoSize_ = on;
    fitToPicture();
}

void PictureWindow::setPicture(const PictureData& picture)
{
    picture_ = picture;
    fitToPicture();
    refresh();
}

void PictureWindow::setBackColor(Color color)
{
    backColor_ = color;
    refresh();
}

void PictureWindow::refresh()
{
    InvalidateRect(window_, nullptr, FALSE);
}

void PictureWindow::fitToPicture()
{
    if (!autoSize_ || picture_.isNull())
        return;
    width_ = float(picture_.width) * kTwipsPerPixel;
    height_ = float(picture_.height) * kTwipsPerPixel;
    place();
}

int PictureWindow::pixels(float twips) const
{
    return int(std::lround(twips * scale_ / kTwipsPerPixel));
}

void PictureWindow::place()
{
    SetWindowPos(window_, HWND_TOP, pixels(left_), pixels(top_), pixels(width_), pixels(height_),
                 SWP_NOACTIVATE);
}

void PictureWindow::paint()
{
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window_, &paint);
    RECT client{};
    GetClientRect(window_, &client);
    const HBRUSH brush = CreateSolidBrush(resolve(backColor_));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    if (!picture_.isNull()) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = picture_.width;
        info.bmiHeader.biHeight = -picture_.height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        // Translucent pixels are blended onto the background here.
        const COLORREF back = resolve(backColor_);
        std::vector<uint32_t> bits(picture_.pixels.size());
        for (size_t i = 0; i < bits.size(); ++i) {
            const uint32_t argb = picture_.pixels[i];
            const uint32_t alpha = argb >> 24;
            const auto blend = [alpha](uint32_t over, uint32_t under) { return (over * alpha + under * (255 - alpha)) / 255; };
            bits[i] = blend(argb >> 16 & 0xFF, GetRValue(back)) << 16 | blend(argb >> 8 & 0xFF, GetGValue(back)) << 8
                | blend(argb & 0xFF, GetBValue(back));
        }
        const int width = pixels(float(picture_.width) * kTwipsPerPixel);
        const int height = pixels(float(picture_.height) * kTwipsPerPixel);
        StretchDIBits(dc, (client.right - width) / 2, (client.bottom - height) / 2, width, height, 0, 0,
                      picture_.width, picture_.height, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    }
    EndPaint(window_, &paint);
}

LRESULT CALLBACK PictureWindow::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<PictureWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        self->paint();
        return 0;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
        self->button_.mouse(message, wParam, short(LOWORD(lParam)), short(HIWORD(lParam)), true);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace ombrix
