#pragma once

#include "Win32.h"

#include <string>

// The scan window's pictures.
namespace ombrix::Artwork {

// The colour drawn pictures use for "no picture here".
inline constexpr COLORREF kTransparent = RGB(255, 0, 255);

// The side of a small picture: 16 pixels at 96 DPI, more on a scaled desktop.
int smallPictureSize();

// ImageList1: small beetles, "redbug" (file found), "greenbug" (file gone)
// and "yellowbug", in that order.
HIMAGELIST bugImageList();
// The position of `key` in bugImageList(); -1 for a key it does not hold.
int bugImage(const std::string& key);

// The banner across the top of the progress area, `width` x `height` pixels.
HBITMAP banner(int width, int height);

// A small magnifying glass on the window colour.
HBITMAP magnifier();
// The same as the windows' small icon.
HICON magnifierIcon();

}  // namespace ombrix::Artwork
