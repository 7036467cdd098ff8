#pragma once

#include "Colors.h"

#include <string>

namespace ombrix {

enum class LineStyle { Solid, Dotted };

// The control surface a VarnoButton draws its face on. Coordinates are twips
// from the top-left corner; line widths are pixels. The surface keeps its
// colours and drawing state between operations and between repaints, because
// the button's drawing relies on what the previous operation left behind.
class PaintSurface {
public:
    virtual ~PaintSurface() = default;

    Color backColor() const { return backColor_; }
    void setBackColor(Color color) { backColor_ = color; }
    // The colour text is printed in; it is the button's ForeColor.
    Color textColor() const { return textColor_; }
    void setTextColor(Color color) { textColor_ = color; }

    int lineWidth() const { return lineWidth_; }
    void setLineWidth(int pixels) { lineWidth_ = pixels; }
    LineStyle lineStyle() const { return lineStyle_; }
    void setLineStyle(LineStyle style) { lineStyle_ = style; }

    float currentX() const { return currentX_; }
    float currentY() const { return currentY_; }
    void setCurrentPosition(float x, float y);

    // Fills the whole surface with the background colour and moves the text
    // position to (0, 0).
    void clear();

    // Lines and outlines use the current line width and style; both end
    // points and both corners are drawn.
    virtual void line(float x1, float y1, float x2, float y2, Color color) = 0;
    virtual void rectangle(float x1, float y1, float x2, float y2, Color color) = 0;
    virtual void fillRectangle(float x1, float y1, float x2, float y2, Color color) = 0;

    // Extent of UTF-8 text in the surface's font, in twips.
    virtual float textWidth(const std::string& text) const = 0;
    virtual float textHeight(const std::string& text) const = 0;
    // Draws text with its top-left corner at the current position, in the text
    // colour, leaving the background behind the letters as it is.
    virtual void print(const std::string& text) = 0;

protected:
    virtual void fillBackground() = 0;

private:
    Color backColor_ = SystemColor::ButtonFace;
    Color textColor_ = SystemColor::ButtonText;
    int lineWidth_ = 1;
    LineStyle lineStyle_ = LineStyle::Solid;
    float currentX_ = 0;
    float currentY_ = 0;
};

}  // namespace ombrix
