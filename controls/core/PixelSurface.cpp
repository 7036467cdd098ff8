#include "VarnoButton/PixelSurface.h"

#include "VarnoButton/Twips.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ombrix {

int PixelSurface::devicePixel(float twips) const
{
    return int(std::floor(double(twips) * scale() / kTwipsPerPixel));
}

int PixelSurface::penWidth() const
{
    return std::max(1, int(std::lround(lineWidth() * scale())));
}

void PixelSurface::plot(int x, int y, int pen, uint32_t rgb)
{
    // The extra pixel of an even pen lies above and left of the point.
    const int from = -(pen / 2);
    fillPixels(x + from, y + from, pen, pen, rgb);
}

// Bresenham's walk from one end to the other, both ends included.
void PixelSurface::line(float x1, float y1, float x2, float y2, Color color)
{
    const uint32_t rgb = resolve(color);
    const int pen = penWidth();
    const bool dotted = lineStyle() == LineStyle::Dotted;
    int x = devicePixel(x1), y = devicePixel(y1);
    const int xEnd = devicePixel(x2), yEnd = devicePixel(y2);
    const int dx = std::abs(xEnd - x), dy = -std::abs(yEnd - y);
    const int sx = x < xEnd ? 1 : -1, sy = y < yEnd ? 1 : -1;
    int error = dx + dy;
    for (int step = 0;; ++step) {
        if (!dotted || step % (2 * pen) == 0)
            plot(x, y, pen, rgb);
        if (x == xEnd && y == yEnd)
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void PixelSurface::rectangle(float x1, float y1, float x2, float y2, Color color)
{
    line(x1, y1, x2, y1, color);
    line(x2, y1, x2, y2, color);
    line(x2, y2, x1, y2, color);
    line(x1, y2, x1, y1, color);
}

void PixelSurface::fillRectangle(float x1, float y1, float x2, float y2, Color color)
{
    const int left = devicePixel(std::min(x1, x2)), right = devicePixel(std::max(x1, x2));
    const int top = devicePixel(std::min(y1, y2)), bottom = devicePixel(std::max(y1, y2));
    fillPixels(left, top, right - left + 1, bottom - top + 1, resolve(color));
}

}  // namespace ombrix
