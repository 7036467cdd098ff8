#pragma once

#include <VarnoButton/PaintSurface.h>

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
    Color color = 0;
    int lineWidth = 0;
    LineStyle style = LineStyle::Solid;

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

    // The operations of the last repaint, all or of one kind.
    std::vector<DrawOp> lastRepaint(std::optional<DrawOp::Kind> kind = std::nullopt) const;
    DrawOp caption() const { return lastRepaint(DrawOp::Kind::Print).at(0); }
    // The colours of the gradient's bands, top to bottom.
    std::vector<Color> bands() const;
    // The bevel: "" none, R raised, S sunken, ? one whose parts disagree.
    std::string bevel() const;
    std::optional<DrawOp> focusRectangle() const;

    using Kind = DrawOp::Kind;
    void line(float x1, float y1, float x2, float y2, Color c) override { add(Kind::Line, x1, y1, x2, y2, c); }
    void rectangle(float x1, float y1, float x2, float y2, Color c) override { add(Kind::Rectangle, x1, y1, x2, y2, c); }
    void fillRectangle(float x1, float y1, float x2, float y2, Color c) override { add(Kind::Fill, x1, y1, x2, y2, c); }
    float textWidth(const std::string& text) const override { return 100 * float(text.size()); }
    float textHeight(const std::string& text) const override { return 180 + 10 * float(text.size()); }
    void print(const std::string&) override { add(Kind::Print, currentX(), currentY(), 0, 0, textColor()); }

protected:
    void fillBackground() override;

private:
    void add(Kind kind, float x1, float y1, float x2, float y2, Color c) { ops.push_back({kind, x1, y1, x2, y2, c, lineWidth(), lineStyle()}); }
};

}  // namespace ombrix::test
