#pragma once

#include <QPoint>
#include <QRect>

namespace ombrix {

// The window's geometry is given in twips and converted once, here; Qt's own
// device-pixel scaling applies on top.
inline constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips)
{
    return twips / kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

}  // namespace ombrix
