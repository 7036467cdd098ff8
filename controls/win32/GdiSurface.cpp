#include "VarnoButton/GdiSurface.h"

#include "VarnoButton/Utf8.h"

#include <VarnoButton/Twips.h>

#include <algorithm>

namespace ombrix {

namespace {

double screenScale()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi / 96.0 : 1.0;
}

// DrawText draws one line from the top-left corner, "&" marking mnemonics.
constexpr UINT kTextFormat = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOCLIP;

}  // namespace

GdiSurface::GdiSurface(HWND owner, double scale)
    : owner_(owner)
    , scale_(scale > 0 ? scale : screenScale())
{
    dc_ = CreateCompatibleDC(nullptr);
}

GdiSurface::~GdiSurface()
{
    if (oldBitmap_)
        SelectObject(dc_, oldBitmap_);
    if (bitmap_)
        DeleteObject(bitmap_);
    DeleteDC(dc_);
}

uint32_t GdiSurface::pixel(int x, int y) const
{
    const uint32_t bgr = bits_[size_t(y) * size_t(width_) + size_t(x)];
    return (bgr >> 16 & 0xFF) | (bgr & 0xFF00) | (bgr & 0xFF) << 16;
}

void GdiSurface::fillBackground()
{
    RECT client{};
    GetClientRect(owner_, &client);
    const int width = std::max(1, int(client.right)), height = std::max(1, int(client.bottom));
    if (!bitmap_ || width != width_ || height != height_) {
        if (oldBitmap_)
            SelectObject(dc_, oldBitmap_);
        if (bitmap_)
            DeleteObject(bitmap_);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        oldBitmap_ = SelectObject(dc_, bitmap_);
        width_ = width;
        height_ = height;
    }
    fillPixels(0, 0, width_, height_, resolve(backColor()));
}

void GdiSurface::fillPixels(int x, int y, int width, int height, uint32_t rgb)
{
    if (!bits_)
        return;
    GdiFlush();
    const uint32_t bgr = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    const int left = std::max(0, x), right = std::min(width_, x + width);
    for (int row = std::max(0, y); row < std::min(height_, y + height); ++row)
        std::fill(bits_ + size_t(row) * size_t(width_) + size_t(left),
                  bits_ + size_t(row) * size_t(width_) + size_t(std::max(left, right)), bgr);
}

uint32_t GdiSurface::resolve(Color color) const
{
    if (color & SystemColor::Flag)
        return uint32_t(GetSysColor(int(color & 0xFF)));
    return color & 0x00FFFFFF;
}

SIZE GdiSurface::extent(const std::string& text) const
{
    const std::wstring wide = toWide(text);
    const HGDIOBJ old = SelectObject(dc_, font_ ? HGDIOBJ(font_) : GetStockObject(DEFAULT_GUI_FONT));
    RECT box{0, 0, 0, 0};
    DrawTextW(dc_, wide.empty() ? L" " : wide.c_str(), -1, &box, kTextFormat | DT_CALCRECT);
    SelectObject(dc_, old);
    return {wide.empty() ? 0 : box.right, box.bottom};
}

float GdiSurface::textWidth(const std::string& text) const
{
    return float(extent(text).cx * kTwipsPerPixel / scale_);
}

float GdiSurface::textHeight(const std::string& text) const
{
    return float(extent(text).cy * kTwipsPerPixel / scale_);
}

void GdiSurface::print(const std::string& text)
{
    GdiFlush();
    const std::wstring wide = toWide(text);
    const HGDIOBJ old = SelectObject(dc_, font_ ? HGDIOBJ(font_) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, COLORREF(resolve(textColor())));
    RECT box{devicePixel(currentX()), devicePixel(currentY()), width_, height_};
    DrawTextW(dc_, wide.c_str(), -1, &box, kTextFormat);
    SelectObject(dc_, old);
}

}  // namespace ombrix
