#pragma once

#include "PaintSurface.h"

#include <functional>
#include <ostream>
#include <vector>

namespace ombrix::test {

// One drawing operation with the drawing state it used. A print keeps its
// text position in x1, y1 and its text colour in color.
struct DrawOp {
    enum class Kind { Clear, Line, Rectangle, Fill, Print };

    Kind kind = Kind::Clear;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    quint32 color = 0;
    int lineWidth = 0;  // lines and outlines only
    LineStyle style = LineStyle::Solid;
    QString text;

    bool operator==(const DrawOp&) const = default;
};

inline DrawOp line(float x1, float y1, float x2, float y2, quint32 color, int width, LineStyle style = LineStyle::Solid)
{
    return {DrawOp::Kind::Line, x1, y1, x2, y2, color, width, style, {}};
}

inline DrawOp outline(float x1, float y1, float x2, float y2, quint32 color, int width,
                      LineStyle style = LineStyle::Solid)
{
    return {DrawOp::Kind::Rectangle, x1, y1, x2, y2, color, width, style, {}};
}

inline DrawOp fill(float x1, float y1, float x2, float y2, quint32 color)
{
    return {DrawOp::Kind::Fill, x1, y1, x2, y2, color, 0, LineStyle::Solid, {}};
}

inline DrawOp print(float x, float y, quint32 color, const QString& text)
{
    return {DrawOp::Kind::Print, x, y, 0, 0, color, 0, LineStyle::Solid, text};
}

void PrintTo(const DrawOp& op, std::ostream* out);

// Keeps every operation instead of drawing. Text is 100 twips a character wide
// and 200 twips high, whatever the font.
class RecordingSurface final : public PaintSurface {
public:
    std::vector<DrawOp> ops;
    // Runs at every clear, that is at the start of every repaint.
    std::function<void()> onClear;

    // The operations of the last repaint after its clear, all or of one kind.
    std::vector<DrawOp> lastRepaint() const;
    std::vector<DrawOp> lastRepaint(DrawOp::Kind kind) const;
    int repaints() const;

    void line(float x1, float y1, float x2, float y2, quint32 color) override
    {
        ops.push_back(test::line(x1, y1, x2, y2, color, lineWidth(), lineStyle()));
    }
    void rectangle(float x1, float y1, float x2, float y2, quint32 color) override
    {
        ops.push_back(outline(x1, y1, x2, y2, color, lineWidth(), lineStyle()));
    }
    void fillRectangle(float x1, float y1, float x2, float y2, quint32 color) override
    {
        ops.push_back(fill(x1, y1, x2, y2, color));
    }
    float textWidth(const QString& text) const override { return 100 * float(text.size()); }
    float textHeight(const QString&) const override { return 200; }
    void print(const QString& text) override { ops.push_back(test::print(currentX(), currentY(), textColor(), text)); }

protected:
    void fillBackground() override;
};

}  // namespace ombrix::test
