#pragma once

#include "PaintSurface.h"

#include <cstdint>

namespace ombrix {

// A surface that turns lines and rectangles into runs of whole device pixels,
// so that every skin draws the bevel pixel for pixel alike, without
// anti-aliasing, at any scale. A twip coordinate names the device pixel it
// falls in (rounded down); a pen of width w device pixels covers w pixels
// centred on it, the extra one of an even width above or left of it. Dotted
// lines are dots of one pen width with gaps as wide, starting with a dot.
class PixelSurface : public PaintSurface {
public:
    // Device pixels per pixel of 15 twips (the screen's scaling).
    virtual double scale() const = 0;

    void line(float x1, float y1, float x2, float y2, Color color) override;
    void rectangle(float x1, float y1, float x2, float y2, Color color) override;
    void fillRectangle(float x1, float y1, float x2, float y2, Color color) override;

    // The device pixel a twip coordinate falls in.
    int devicePixel(float twips) const;

protected:
    // Fills the device pixels x to x + width - 1 and y to y + height - 1 with
    // an RGB colour 0x00BBGGRR (system colours already resolved); the
    // implementation clips to the surface.
    virtual void fillPixels(int x, int y, int width, int height, uint32_t rgb) = 0;
    // The RGB colour a colour value stands for.
    virtual uint32_t resolve(Color color) const = 0;

private:
    void plot(int x, int y, int pen, uint32_t rgb);
    int penWidth() const;
};

}  // namespace ombrix
