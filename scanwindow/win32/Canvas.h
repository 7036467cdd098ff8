#pragma once

#include "Win32.h"

#include <functional>

namespace ombrix {

// A bitmap to draw on with GDI. Pictures are drawn in code, so the program
// carries no image files.
class Canvas {
public:
    Canvas(int width, int height, COLORREF background);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void fill(const RECT& area, COLORREF colour);
    // Top to bottom from `top` to `bottom`.
    void gradient(const RECT& area, COLORREF top, COLORREF bottom);
    void ellipse(int left, int top, int right, int bottom, COLORREF fillColour, COLORREF line);
    void rectangle(int left, int top, int right, int bottom, COLORREF fillColour, COLORREF line);
    void polygon(const POINT* points, int count, COLORREF fillColour, COLORREF line);
    void line(int x1, int y1, int x2, int y2, COLORREF colour, int thickness = 1);
    void text(const char* words, const RECT& area, HFONT font, COLORREF colour, UINT format);

    // From here on, what is drawn is `factor` times its given size, so a picture
    // designed at 16 x 16 fills a canvas made larger for a higher DPI.
    void scale(double factor);

    // The picture; the canvas is empty afterwards.
    HBITMAP take();

private:
    // Runs `draw` with a one-pixel pen of `line` and a brush of `fillColour`
    // (none for CLR_INVALID).
    void outlined(COLORREF fillColour, COLORREF line, const std::function<void()>& draw);

    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    int width_;
    int height_;
};

// An icon of the bitmap's size; `transparent` is the colour that lets the background through.
HICON iconFrom(HBITMAP bitmap, int width, int height, COLORREF transparent);

}  // namespace ombrix
