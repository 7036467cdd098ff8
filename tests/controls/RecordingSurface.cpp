#include "RecordingSurface.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace ombrix::test {

namespace {

using Kind = DrawOp::Kind;

// Raised: light top and left edges, dark bottom and right ones, a 2-px frame
// and lower cuts, 1-px upper cuts. Sunken: colours and widths the other way
// round. Both: a shadow frame 16 twips short of the far edges and the four
// corners filled with the button face.
char look(std::span<const DrawOp> bevel)
{
    const float w = bevel[0].x2;
    float h = 0;
    quint32 topLeft = 0, bottomRight = 0;
    int frame = 0, upperCut = 0, lowerCut = 0, corners = 0;
    for (const DrawOp& op : bevel) {
        if (op.kind == Kind::Line && op.x1 == 15 && op.y1 == 15) {
            topLeft = op.color;
            h = std::max(h, op.y2);
        }
    }
    for (const DrawOp& op : bevel) {
        const bool line = op.kind == Kind::Line;
        if (line && std::abs(op.x2 - op.x1) == 45 && std::abs(op.y2 - op.y1) == 45)
            (std::min(op.y1, op.y2) == 0 ? upperCut : lowerCut) = op.color == SystemColor::ButtonShadow ? op.lineWidth : -1;
        else if (line && op.lineWidth == 2 && (op.x1 == w - 8 || op.y1 == h - 8))
            bottomRight = op.color;
        else if (op.kind == Kind::Rectangle && op.style == LineStyle::Solid)
            frame = op.x2 == w - 16 && op.y2 == h - 16 && op.color == SystemColor::ButtonShadow ? op.lineWidth : -1;
        else if (op.kind == Kind::Fill && op.color == SystemColor::ButtonFace && op.x2 - op.x1 == 45)
            ++corners;
    }
    const auto is = [&](quint32 light, quint32 dark, int heavy, int thin) {
        return topLeft == light && bottomRight == dark && frame == heavy && upperCut == thin && lowerCut == heavy;
    };
    if (corners == 4 && is(SystemColor::ButtonHighlight, SystemColor::DarkShadow, 2, 1))
        return 'R';
    if (corners == 4 && is(SystemColor::DarkShadow, SystemColor::ButtonHighlight, 1, 2))
        return 'S';
    return '?';
}

}  // namespace

int RecordingSurface::repaints() const
{
    return int(std::count_if(ops.begin(), ops.end(), [](const DrawOp& op) { return op.kind == Kind::Clear; }));
}

std::vector<DrawOp> RecordingSurface::lastRepaint(std::optional<DrawOp::Kind> kind) const
{
    const auto clear = std::find_if(ops.rbegin(), ops.rend(), [](const DrawOp& op) { return op.kind == Kind::Clear; });
    std::vector<DrawOp> chosen(clear.base(), ops.end());
    std::erase_if(chosen, [kind](const DrawOp& op) { return kind && op.kind != *kind; });
    return chosen;
}

std::vector<quint32> RecordingSurface::bands() const
{
    std::vector<quint32> colors;
    for (const DrawOp& op : lastRepaint(Kind::Fill)) {
        if (op.y2 - op.y1 == 8)
            colors.push_back(op.color);
    }
    return colors;
}

std::string RecordingSurface::bevels() const
{
    // A bevel starts with its top edge, from (15, 15) to the top-right corner.
    const std::vector<DrawOp> repaint = lastRepaint();
    const auto startsBevel = [](const DrawOp& op) {
        return op.kind == Kind::Line && op.x1 == 15 && op.y1 == 15 && op.y2 == 0;
    };
    std::string looks;
    for (auto start = std::find_if(repaint.begin(), repaint.end(), startsBevel); start != repaint.end();) {
        const auto end = std::find_if(start + 1, repaint.end(), startsBevel);
        looks += look({start, end});
        start = end;
    }
    return looks;
}

std::optional<DrawOp> RecordingSurface::focusRectangle() const
{
    for (const DrawOp& op : lastRepaint(Kind::Rectangle)) {
        if (op.style == LineStyle::Dotted)
            return op;
    }
    return std::nullopt;
}

void RecordingSurface::fillBackground()
{
    ops.push_back({Kind::Clear, 0, 0, 0, 0, backColor(), 0, LineStyle::Solid, {}});
    if (onClear)
        onClear();
}

}  // namespace ombrix::test
