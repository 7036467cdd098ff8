#include "RecordingSurface.h"

#include <algorithm>

namespace ombrix::test {

void PrintTo(const DrawOp& op, std::ostream* out)
{
    static const char* const kNames[] = {"clear", "line", "outline", "fill", "print"};
    *out << kNames[int(op.kind)] << " (" << op.x1 << ", " << op.y1 << ")-(" << op.x2 << ", " << op.y2 << ") 0x"
         << std::hex << op.color << std::dec << " width " << op.lineWidth
         << (op.style == LineStyle::Dotted ? " dotted " : " ") << op.text.toStdString();
}

std::vector<DrawOp> RecordingSurface::lastRepaint() const
{
    const auto clear = std::find_if(ops.rbegin(), ops.rend(),
                                    [](const DrawOp& op) { return op.kind == DrawOp::Kind::Clear; });
    return {clear.base(), ops.end()};
}

std::vector<DrawOp> RecordingSurface::lastRepaint(DrawOp::Kind kind) const
{
    std::vector<DrawOp> chosen = lastRepaint();
    std::erase_if(chosen, [kind](const DrawOp& op) { return op.kind != kind; });
    return chosen;
}

int RecordingSurface::repaints() const
{
    return int(std::count_if(ops.begin(), ops.end(), [](const DrawOp& op) { return op.kind == DrawOp::Kind::Clear; }));
}

void RecordingSurface::fillBackground()
{
    ops.push_back({DrawOp::Kind::Clear, 0, 0, 0, 0, backColor(), 0, LineStyle::Solid, {}});
    if (onClear)
        onClear();
}

}  // namespace ombrix::test
