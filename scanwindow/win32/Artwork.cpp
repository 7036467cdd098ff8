#include "Artwork.h"

#include <array>

#include "Canvas.h"
#include "Controls.h"
#include "Twips.h"

namespace ombrix::Artwork {

namespace {

constexpr std::array<const char*, 3> kBugKeys = {"redbug", "greenbug", "yellowbug"};
constexpr std::array<COLORREF, 3> kBugColours = {RGB(220, 30, 30), RGB(30, 170, 50), RGB(235, 200, 20)};

COLORREF darker(COLORREF colour)
{
    return RGB(GetRValue(colour) * 2 / 5, GetGValue(colour) * 2 / 5, GetBValue(colour) * 2 / 5);
}

HBITMAP bug(COLORREF body, int size)
{
    Canvas canvas(size, size, kTransparent);
    canvas.scale(size / 16.0);
    const COLORREF outline = darker(body);
    // Legs and antennae first, so the body covers their inner ends.
    for (const int y : {6, 9, 12}) {
        canvas.line(1, y - 1, 6, y, outline);
        canvas.line(14, y - 1, 9, y, outline);
    }
    canvas.line(7, 3, 5, 0, outline);
    canvas.line(9, 3, 11, 0, outline);
    canvas.ellipse(5, 2, 11, 6, outline, outline);
    canvas.ellipse(4, 4, 12, 16, body, outline);
    canvas.line(8, 5, 8, 15, outline);
    canvas.fill(RECT{5, 7, 7, 9}, RGB(255, 255, 255));
    return canvas.take();
}

void drawMagnifier(Canvas& canvas, int size)
{
    const int lens = size * 11 / 16;
    canvas.line(lens - 2, lens - 2, size - 2, size - 2, RGB(90, 60, 30), size / 6 + 1);
    canvas.ellipse(1, 1, lens, lens, RGB(200, 230, 255), RGB(40, 60, 120));
    canvas.ellipse(2, 2, lens - 1, lens - 1, CLR_INVALID, RGB(40, 60, 120));
}

}  // namespace

HIMAGELIST bugImageList()
{
    static HIMAGELIST list = [] {
        const int size = smallPictureSize();
        HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 3, 0);
        for (const COLORREF colour : kBugColours) {
            HBITMAP picture = bug(colour, size);
            ImageList_AddMasked(images, picture, kTransparent);
            DeleteObject(picture);
        }
        return images;
    }();
    return list;
}

int bugImage(const std::string& key)
{
    for (std::size_t i = 0; i < kBugKeys.size(); ++i) {
        if (key == kBugKeys[i])
            return static_cast<int>(i);
    }
    return -1;
}

HBITMAP banner(int width, int height)
{
    Canvas canvas(width, height, RGB(0, 0, 0));
    canvas.gradient(RECT{0, 0, width, height}, RGB(40, 70, 140), RGB(10, 25, 70));
    HFONT font = Controls::arial(11.0, true);
    canvas.text("Ombrix", RECT{height / 2 + 2, 0, width, height}, font, RGB(255, 255, 255),
                DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    DeleteObject(font);
    return canvas.take();
}

int smallPictureSize()
{
    return px(240);
}

HBITMAP magnifier()
{
    const int size = smallPictureSize();
    Canvas canvas(size, size, GetSysColor(COLOR_BTNFACE));
    drawMagnifier(canvas, size);
    return canvas.take();
}

HICON magnifierIcon()
{
    Canvas canvas(16, 16, kTransparent);
    drawMagnifier(canvas, 16);
    HBITMAP picture = canvas.take();
    HICON icon = iconFrom(picture, 16, 16, kTransparent);
    DeleteObject(picture);
    return icon;
}

}  // namespace ombrix::Artwork
