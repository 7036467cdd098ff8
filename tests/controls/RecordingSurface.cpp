#include "RecordingSurface.h"

#include <algorithm>
#include <iomanip>

namespace ombrix::test {

DrawOp line(float x1, float y1, float x2, float y2, quint32 color, int width, LineStyle style)
{
    return {DrawOp::Kind::Line, x1, y1, x2, y2, color, width, style, {}};
}

DrawOp outline(float x1, float y1, float x2, float y2, quint32 color, int width, LineStyle style)
{
    return {DrawOp::Kind::Rectangle, x1, y1, x2, y2, color, width, style, {}};
}

DrawOp fill(float x1, float y1, float x2, float y2, quint32 color)
{
    return {DrawOp::Kind::Fill, x1, y1, x2, y2, color, 0, LineStyle::Solid, {}};
}

DrawOp print(float x, float y, quint32 color, const QString& text)
{
    return {DrawOp::Kind::Print, x, y, 0, 0, color, 0, LineStyle::Solid, text};
}

void PrintTo(const DrawOp& op, std::ostream* out)
{
    static const char* const kNames[] = {"clear", "line", "outline", "fill", "print"};
    *out << kNames[int(op.kind)] << " (" << op.x1 << ", " << op.y1 << ")-(" << op.x2 << ", " << op.y2 << ") 0x"
         << std::hex << op.color << std::dec << " width " << op.lineWidth
         << (op.style == LineStyle::Dotted ? " dotted" : "") << (op.text.isEmpty() ? "" : " \"")
         << op.text.toStdString() << (op.text.isEmpty() ? "" : "\"");
}

std::vector<DrawOp> RecordingSurface::lastRepaint() const
{
    const auto clear = std::find_if(ops.rbegin(), ops.rend(),
                                    [](const DrawOp& op) { return op.kind == DrawOp::Kind::Clear; });
    return {clear.base(), ops.end()};
}

std::vector<DrawOp> RecordingSurface::lastRepaint(DrawOp::Kind kind) const
{
    std::vector<DrawOp> chosen;
    for (const DrawOp& op : lastRepaint()) {
        if (op.kind == kind)
            chosen.push_back(op);
    }
    return chosen;
}

int RecordingSurface::repaints() const
{
    return int(std::count_if(ops.begin(), ops.end(), [](const DrawOp& op) { return op.kind == DrawOp::Kind::Clear; }));
}

void RecordingSurface::line(float x1, float y1, float x2, float y2, quint32 color)
{
    ops.push_back(test::line(x1, y1, x2, y2, color, lineWidth(), lineStyle()));
}

void RecordingSurface::rectangle(float x1, float y1, float x2, float y2, quint32 color)
{
    ops.push_back(outline(x1, y1, x2, y2, color, lineWidth(), lineStyle()));
}

void RecordingSurface::fillRectangle(float x1, float y1, float x2, float y2, quint32 color)
{
    ops.push_back(fill(x1, y1, x2, y2, color));
}

float RecordingSurface::textWidth(const QString& text) const
{
    return kCharWidth * float(text.size());
}

float RecordingSurface::textHeight(const QString&) const
{
    return kTextHeight;
}

void RecordingSurface::print(const QString& text)
{
    ops.push_back(test::print(currentX(), currentY(), textColor(), text));
}

void RecordingSurface::fillBackground()
{
    ops.push_back({DrawOp::Kind::Clear, 0, 0, 0, 0, backColor(), 0, LineStyle::Solid, {}});
    if (onClear)
        onClear();
}

}  // namespace ombrix::test
