#pragma once

#include "PaintSurface.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ombrix::test {

// One drawing operation with the drawing state it used. A print keeps its
// text position in x1, y1 and its text colour in color.
struct DrawOp {
    enum class Kind { Clear, Line, Rectangle, Fill, Print };

    Kind kind = Kind::Clear;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    quint32 color = 0;
    int lineWidth = 0;
    LineStyle style = LineStyle::Solid;
    QString text;

    bool operator==(const DrawOp&) const = default;
};

// Keeps every operation instead of drawing. Text is 100 twips a character
// wide and 180 + 10 a character high, so every string has a height of its
// own ("Hy" 200).
class RecordingSurface final : public PaintSurface {
public:
    std::vector<DrawOp> ops;
    // Runs at every clear, that is at the start of every repaint.
    std::function<void()> onClear;

    int repaints() const;
    // The operations of the last repaint, all or of one kind.
    std::vector<DrawOp> lastRepaint(std::optional<DrawOp::Kind> kind = std::nullopt) const;
    DrawOp caption() const { return lastRepaint(DrawOp::Kind::Print).at(0); }
    // The colours of the gradient's bands, top to bottom.
    std::vector<quint32> bands() const;
    // A letter for each bevel: R raised, S sunken, ? one whose parts disagree.
    std::string bevels() const;
    std::optional<DrawOp> focusRectangle() const;

    void line(float x1, float y1, float x2, float y2, quint32 c) override { add(DrawOp::Kind::Line, x1, y1, x2, y2, c); }
    void rectangle(float x1, float y1, float x2, float y2, quint32 c) override
    {
        add(DrawOp::Kind::Rectangle, x1, y1, x2, y2, c);
    }
    void fillRectangle(float x1, float y1, float x2, float y2, quint32 c) override
    {
        add(DrawOp::Kind::Fill, x1, y1, x2, y2, c);
    }
    float textWidth(const QString& text) const override { return 100 * float(text.size()); }
    float textHeight(const QString& text) const override { return 180 + 10 * float(text.size()); }
    void print(const QString& text) override { add(DrawOp::Kind::Print, currentX(), currentY(), 0, 0, textColor(), text); }

protected:
    void fillBackground() override;

private:
    void add(DrawOp::Kind kind, float x1, float y1, float x2, float y2, quint32 color, const QString& text = {})
    {
        ops.push_back({kind, x1, y1, x2, y2, color, lineWidth(), lineStyle(), text});
    }
};

}  // namespace ombrix::test
