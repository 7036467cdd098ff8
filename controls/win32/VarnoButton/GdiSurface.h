#pragma once

#include <VarnoButton/PixelSurface.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace ombrix {

// Paints into a device-independent bitmap the size of a window's client area,
// which the window copies to the screen when Windows asks it to paint. Twips
// become device pixels at the screen's dots per inch (scale 1 at 96). System
// colours are Windows' own; an "&" in text marks the next letter as the
// mnemonic, "&&" is an "&".
class GdiSurface final : public PixelSurface {
public:
    // owner: the window whose client area and font are used; scale: device
    // pixels per 15 twips, 0 for the screen's.
    explicit GdiSurface(HWND owner, double scale = 0);
    ~GdiSurface() override;
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    void setFont(HFONT font) { font_ = font; }
    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The colour of device pixel x, y as 0x00BBGGRR.
    uint32_t pixel(int x, int y) const;

    double scale() const override { return scale_; }
    float textWidth(const std::string& text) const override;
    float textHeight(const std::string& text) const override;
    void print(const std::string& text) override;

protected:
    void fillBackground() override;
    void fillPixels(int x, int y, int width, int height, uint32_t rgb) override;
    uint32_t resolve(Color color) const override;

private:
    SIZE extent(const std::string& text) const;

    HWND owner_;
    double scale_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    uint32_t* bits_ = nullptr;  // top-down rows of 0x00RRGGBB
    int width_ = 0;
    int height_ = 0;
    HFONT font_ = nullptr;
};

}  // namespace ombrix
