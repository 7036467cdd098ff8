#include "Canvas.h"


namespace ombrix {

Canvas::Canvas(int width, int height, COLORREF background) : width_(width), height_(height)
{
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    previous_ = SelectObject(dc_, bitmap_);
    fill(RECT{0, 0, width, height}, background);
}

void Canvas::scale(double factor)
{
    SetGraphicsMode(dc_, GM_ADVANCED);
    const auto f = static_cast<FLOAT>(factor);
    const XFORM transform{f, 0, 0, f, 0, 0};
    SetWorldTransform(dc_, &transform);
}

Canvas::~Canvas()
{
    SelectObject(dc_, previous_);
    if (bitmap_)
        DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void Canvas::fill(const RECT& area, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc_, &area, brush);
    DeleteObject(brush);
}

void Canvas::gradient(const RECT& area, COLORREF top, COLORREF bottom)
{
    const int rows = area.bottom - area.top;
    for (int y = 0; y < rows; ++y) {
        const auto mix = [&](int a, int b) { return a + (b - a) * y / (rows > 1 ? rows - 1 : 1); };
        const COLORREF colour = RGB(mix(GetRValue(top), GetRValue(bottom)), mix(GetGValue(top), GetGValue(bottom)),
                                    mix(GetBValue(top), GetBValue(bottom)));
        fill(RECT{area.left, area.top + y, area.right, area.top + y + 1}, colour);
    }
}

void Canvas::ellipse(int left, int top, int right, int bottom, COLORREF fillColour, COLORREF line)
{
    outlined(fillColour, line, [&] { Ellipse(dc_, left, top, right, bottom); });
}

void Canvas::rectangle(int left, int top, int right, int bottom, COLORREF fillColour, COLORREF line)
{
    outlined(fillColour, line, [&] { Rectangle(dc_, left, top, right, bottom); });
}

void Canvas::polygon(const POINT* points, int count, COLORREF fillColour, COLORREF line)
{
    outlined(fillColour, line, [&] { Polygon(dc_, points, count); });
}

void Canvas::outlined(COLORREF fillColour, COLORREF line, const std::function<void()>& draw)
{
    HBRUSH brush = fillColour == CLR_INVALID ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                                             : CreateSolidBrush(fillColour);
    HPEN pen = CreatePen(PS_SOLID, 1, line);
    HGDIOBJ oldBrush = SelectObject(dc_, brush);
    HGDIOBJ oldPen = SelectObject(dc_, pen);
    draw();
    SelectObject(dc_, oldBrush);
    SelectObject(dc_, oldPen);
    DeleteObject(pen);
    if (fillColour != CLR_INVALID)
        DeleteObject(brush);
}

void Canvas::line(int x1, int y1, int x2, int y2, COLORREF colour, int thickness)
{
    HPEN pen = CreatePen(PS_SOLID, thickness, colour);
    HGDIOBJ oldPen = SelectObject(dc_, pen);
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
    SelectObject(dc_, oldPen);
    DeleteObject(pen);
}

void Canvas::text(const char* words, const RECT& area, HFONT font, COLORREF colour, UINT format)
{
    HGDIOBJ oldFont = SelectObject(dc_, font);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, colour);
    RECT place = area;
    DrawTextA(dc_, words, -1, &place, format | DT_NOPREFIX);
    SelectObject(dc_, oldFont);
}

HBITMAP Canvas::take()
{
    SelectObject(dc_, previous_);
    HBITMAP result = bitmap_;
    bitmap_ = nullptr;
    return result;
}

HICON iconFrom(HBITMAP bitmap, int width, int height, COLORREF transparent)
{
    HIMAGELIST list = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 1, 0);
    ImageList_AddMasked(list, bitmap, transparent);
    HICON icon = ImageList_GetIcon(list, 0, ILD_NORMAL);
    ImageList_Destroy(list);
    return icon;
}

}  // namespace ombrix
