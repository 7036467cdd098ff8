#include "RecordingSurface.h"

#include <algorithm>
#include <cmath>

namespace ombrix::test {

using Kind = DrawOp::Kind;

std::vector<DrawOp> RecordingSurface::lastRepaint(std::optional<DrawOp::Kind> kind) const
{
    const auto clear = std::find_if(ops.rbegin(), ops.rend(), [](const DrawOp& op) { return op.kind == Kind::Clear; });
    std::vector<DrawOp> chosen(clear.base(), ops.end());
    std::erase_if(chosen, [kind](const DrawOp& op) { return kind && op.kind != *kind; });
    return chosen;
}

std::vector<Color> RecordingSurface::bands() const
{
    std::vector<Color> colors;
    for (const DrawOp& op : lastRepaint(Kind::Fill))
        if (op.y2 - op.y1 == 8 && op.x2 - op.x1 > 45)  // not a cut corner
            colors.push_back(op.color);
    return colors;
}

// Raised: a light top edge, a 2-px frame and lower cuts, 1-px upper cuts.
// Sunken: a dark top edge and the widths the other way round.
std::string RecordingSurface::bevel() const
{
    // The top edge runs from (15, 15) to the top-right corner.
    const std::vector<DrawOp> repaint = lastRepaint();
    const auto top = std::find_if(repaint.begin(), repaint.end(), [](const DrawOp& op) {
        return op.kind == Kind::Line && op.x1 == 15 && op.y1 == 15 && op.y2 == 0;
    });
    if (top == repaint.end())
        return "";
    int frame = 0, upperCut = 0, lowerCut = 0;
    for (const DrawOp& op : repaint) {
        if (op.kind == Kind::Line && std::abs(op.x2 - op.x1) == 45 && std::abs(op.y2 - op.y1) == 45)
            (std::min(op.y1, op.y2) == 0 ? upperCut : lowerCut) = op.color == SystemColor::ButtonShadow ? op.lineWidth : -1;
        else if (op.kind == Kind::Rectangle && op.style == LineStyle::Solid)
            frame = op.color == SystemColor::ButtonShadow ? op.lineWidth : -1;
    }
    if (top->color == SystemColor::ButtonHighlight && frame == 2 && upperCut == 1 && lowerCut == 2)
        return "R";
    if (top->color == SystemColor::DarkShadow && frame == 1 && upperCut == 2 && lowerCut == 1)
        return "S";
    return "?";
}

std::optional<DrawOp> RecordingSurface::focusRectangle() const
{
    const auto rectangles = lastRepaint(Kind::Rectangle);
    const auto dotted = std::find_if(rectangles.begin(), rectangles.end(),
                                     [](const DrawOp& op) { return op.style == LineStyle::Dotted; });
    return dotted == rectangles.end() ? std::nullopt : std::optional(*dotted);
}

void RecordingSurface::fillBackground()
{
    ops.push_back({Kind::Clear, 0, 0, 0, 0, backColor()});
    if (onClear)
        onClear();
}

}  // namespace ombrix::test
