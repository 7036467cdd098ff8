#pragma once

#include "PaintSurface.h"

#include <functional>
#include <ostream>
#include <vector>

namespace ombrix::test {

// One drawing operation with the drawing state it used.
struct DrawOp {
    enum class Kind { Clear, Line, Rectangle, Fill, Print };

    Kind kind = Kind::Clear;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Print: the text position in x1, y1
    quint32 color = 0;                     // Print: the text colour
    int lineWidth = 0;                     // lines and outlines only
    LineStyle style = LineStyle::Solid;    // lines and outlines only
    QString text;

    bool operator==(const DrawOp&) const = default;
};

DrawOp line(float x1, float y1, float x2, float y2, quint32 color, int width, LineStyle style = LineStyle::Solid);
DrawOp outline(float x1, float y1, float x2, float y2, quint32 color, int width, LineStyle style = LineStyle::Solid);
DrawOp fill(float x1, float y1, float x2, float y2, quint32 color);
DrawOp print(float x, float y, quint32 color, const QString& text);

void PrintTo(const DrawOp& op, std::ostream* out);

// Keeps every operation instead of drawing. Text is 100 twips a character wide
// and 200 twips high, whatever the font.
class RecordingSurface final : public PaintSurface {
public:
    static constexpr float kCharWidth = 100;
    static constexpr float kTextHeight = 200;

    std::vector<DrawOp> ops;
    // Runs at every clear, that is at the start of every repaint.
    std::function<void()> onClear;

    // The operations of the last repaint, after its clear.
    std::vector<DrawOp> lastRepaint() const;
    std::vector<DrawOp> lastRepaint(DrawOp::Kind kind) const;
    int repaints() const;

    void line(float x1, float y1, float x2, float y2, quint32 color) override;
    void rectangle(float x1, float y1, float x2, float y2, quint32 color) override;
    void fillRectangle(float x1, float y1, float x2, float y2, quint32 color) override;
    float textWidth(const QString& text) const override;
    float textHeight(const QString& text) const override;
    void print(const QString& text) override;

protected:
    void fillBackground() override;
};

}  // namespace ombrix::test
