#pragma once

#include "Win32.h"

namespace ombrix {

// The windows' geometry is given in twips (1440 to the inch) and converted
// with the system's DPI, so the layout keeps its size on a scaled desktop.
int px(int twips);

// A child window at a position given in twips, relative to its parent.
void placeTwips(HWND window, int left, int top, int width, int height);

// A window's outer size for a client area given in twips.
SIZE outerSizeForClient(int widthTwips, int heightTwips, DWORD style, DWORD exStyle);

}  // namespace ombrix
