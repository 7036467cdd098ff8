#pragma once

#include <QRect>

namespace ombrix {

// Window geometry is kept in twips, as designed; 15 twips are one pixel at
// 96 dots per inch. Qt's device-pixel scaling applies on top.
constexpr int twipsToPixels(int twips)
{
    return (twips + 7) / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

}  // namespace ombrix
