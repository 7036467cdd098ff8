#include "Artwork.h"

#include <array>
#include <string>

#include "Canvas.h"
#include "Controls.h"
#include "Twips.h"

namespace ombrix::Artwork {

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kInk = RGB(40, 50, 90);

constexpr std::array<const char*, 8> kTreePictureKeys = {
    "mycomputer", "floppy", "harddrive", "cdrom", "networkdrive", "unknown", "closedfolder", "openfolder",
};

void drawGlass(Canvas& canvas, int left, int top, int size)
{
    const int lens = size * 2 / 3;
    canvas.line(left + lens - 2, top + lens - 2, left + size - 1, top + size - 1, RGB(110, 70, 30), size / 7 + 1);
    canvas.ellipse(left, top, left + lens, top + lens, RGB(205, 230, 255), kInk);
}

void drawShield(Canvas& canvas, int left, int top, int width, int height, COLORREF colour)
{
    const POINT outline[] = {
        {left, top + height / 6},           {left + width / 2, top},
        {left + width, top + height / 6},   {left + width, top + height / 2},
        {left + width / 2, top + height},   {left, top + height / 2},
    };
    canvas.polygon(outline, 6, colour, kInk);
}

void drawFolder(Canvas& canvas, bool open)
{
    canvas.rectangle(1, 3, 7, 6, RGB(230, 190, 60), RGB(150, 110, 20));
    canvas.rectangle(1, 5, 15, 14, RGB(240, 205, 80), RGB(150, 110, 20));
    if (open) {
        const POINT flap[] = {{3, 8}, {16, 8}, {14, 14}, {1, 14}};
        canvas.polygon(flap, 4, RGB(255, 225, 120), RGB(150, 110, 20));
    }
}

void drawDrive(Canvas& canvas, COLORREF body)
{
    canvas.rectangle(1, 5, 15, 12, body, RGB(70, 70, 70));
    canvas.fill(RECT{11, 8, 13, 10}, RGB(40, 200, 40));
}

HBITMAP treePicture(const std::string& key, int size)
{
    Canvas canvas(size, size, kKey);
    canvas.scale(size / 16.0);
    if (key == "mycomputer") {
        canvas.rectangle(1, 1, 15, 11, RGB(60, 110, 190), RGB(60, 60, 60));
        canvas.rectangle(5, 12, 11, 15, RGB(190, 190, 190), RGB(60, 60, 60));
    } else if (key == "floppy") {
        canvas.rectangle(2, 1, 14, 15, RGB(60, 60, 70), RGB(20, 20, 20));
        canvas.fill(RECT{5, 2, 11, 6}, RGB(200, 200, 200));
        canvas.fill(RECT{4, 9, 12, 15}, RGB(240, 240, 240));
    } else if (key == "harddrive") {
        drawDrive(canvas, RGB(190, 190, 190));
    } else if (key == "cdrom") {
        canvas.ellipse(1, 1, 15, 15, RGB(210, 215, 230), RGB(90, 90, 110));
        canvas.ellipse(6, 6, 10, 10, kKey, RGB(90, 90, 110));
    } else if (key == "networkdrive") {
        drawDrive(canvas, RGB(190, 190, 190));
        canvas.line(8, 12, 8, 15, RGB(40, 40, 40));
        canvas.line(3, 15, 14, 15, RGB(40, 40, 40));
    } else if (key == "closedfolder" || key == "openfolder") {
        drawFolder(canvas, key == "openfolder");
    } else {
        drawDrive(canvas, RGB(220, 220, 220));
        // The canvas scales the font with the picture.
        HFONT font = Controls::arial(7.0 * 16 / size, true);
        canvas.text("?", RECT{0, 0, 16, 16}, font, RGB(180, 20, 20), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        DeleteObject(font);
    }
    return canvas.take();
}

void drawStrip(Canvas& canvas, const RECT& area)
{
    canvas.gradient(area, RGB(40, 70, 140), RGB(10, 25, 70));
}

}  // namespace

HBITMAP headerStrip(int width, int height)
{
    Canvas canvas(width, height, RGB(0, 0, 0));
    drawStrip(canvas, RECT{0, 0, width, height});
    return canvas.take();
}

HBITMAP optionsArt(int width, int height, const RECT& strip)
{
    Canvas canvas(width, height, GetSysColor(COLOR_BTNFACE));
    drawStrip(canvas, strip);
    canvas.rectangle(width / 8, height / 6, width * 5 / 8, height * 15 / 16, RGB(255, 255, 255), kInk);
    for (int y = height / 6 + height / 10; y < height * 7 / 8; y += height / 10)
        canvas.line(width / 8 + width / 16, y, width * 5 / 8 - width / 16, y, RGB(150, 160, 190));
    drawGlass(canvas, width * 3 / 8, height / 4, width * 5 / 8 - 2);
    return canvas.take();
}

HBITMAP statisticsArt(int width, int height, const RECT& strip)
{
    Canvas canvas(width, height, GetSysColor(COLOR_BTNFACE));
    drawStrip(canvas, strip);
    const int base = height * 15 / 16;
    const int bars[] = {45, 70, 55, 90};
    for (int i = 0; i < 4; ++i) {
        const int left = width / 10 + i * width / 5;
        canvas.rectangle(left, base - bars[i] * height / 110, left + width / 7, base, RGB(90, 140, 210), kInk);
    }
    drawShield(canvas, width / 3, height / 8, width / 2, height * 3 / 5, RGB(40, 170, 70));
    return canvas.take();
}

HBITMAP scanIcon(int size)
{
    Canvas canvas(size, size, GetSysColor(COLOR_BTNFACE));
    drawGlass(canvas, 0, 0, size);
    const int lens = size * 2 / 3;
    canvas.ellipse(lens / 3, lens / 4, lens * 2 / 3, lens * 3 / 4, RGB(220, 30, 30), RGB(90, 10, 10));
    return canvas.take();
}

HBITMAP updateIcon(int size)
{
    Canvas canvas(size, size, GetSysColor(COLOR_BTNFACE));
    canvas.ellipse(1, 1, size - 1, size - 1, RGB(80, 150, 220), kInk);
    canvas.ellipse(size / 4, 1, size * 3 / 4, size - 1, CLR_INVALID, kInk);
    canvas.line(1, size / 2, size - 1, size / 2, kInk);
    const POINT arrow[] = {{size / 2 - size / 8, size / 4}, {size / 2 + size / 8, size / 4},
                           {size / 2 + size / 8, size / 2}, {size * 3 / 4, size / 2},
                           {size / 2, size * 7 / 8},        {size / 4, size / 2},
                           {size / 2 - size / 8, size / 2}};
    canvas.polygon(arrow, 7, RGB(40, 170, 70), RGB(10, 80, 20));
    return canvas.take();
}

HICON programIcon(int size)
{
    Canvas canvas(size, size, kKey);
    drawShield(canvas, 0, 0, size - 1, size - 1, RGB(40, 90, 170));
    drawGlass(canvas, size / 4, size / 5, size / 2);
    HBITMAP picture = canvas.take();
    HICON icon = iconFrom(picture, size, size, kKey);
    DeleteObject(picture);
    return icon;
}

HIMAGELIST treeImageList()
{
    static HIMAGELIST list = [] {
        const int size = px(240);
        HIMAGELIST images =
            ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, static_cast<int>(kTreePictureKeys.size()), 0);
        for (const char* key : kTreePictureKeys) {
            HBITMAP picture = treePicture(key, size);
            ImageList_AddMasked(images, picture, kKey);
            DeleteObject(picture);
        }
        return images;
    }();
    return list;
}

int treeImage(const std::string& key)
{
    for (std::size_t i = 0; i < kTreePictureKeys.size(); ++i) {
        if (key == kTreePictureKeys[i])
            return static_cast<int>(i);
    }
    return treeImage("unknown");
}

}  // namespace ombrix::Artwork
