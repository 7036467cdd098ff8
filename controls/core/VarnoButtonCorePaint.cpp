// VarnoButtonCore: drawing the face and laying out the picture.

#include "VarnoButton/VarnoButtonCore.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ombrix {

namespace {

constexpr int kBandHeight = 8;

// Whole number nearest to value, halves to the even neighbour.
double roundHalfEven(double value)
{
    return std::nearbyint(value);
}

}  // namespace

void VarnoButtonCore::UserControl_Paint()
{
    PaintSurface& surface = surface_;
    surface.clear();
    picture1_.setVisible(showPicture_);
    gradient_.clear();

    if (style_ == 1) {
        if (buttonDown_)
            DrawGradient(BackColor(), fadetoColor_);
        else
            DrawGradient(fadetoColor_, BackColor());
    }

    const float w = host_.ScaleWidth();
    const float h = host_.ScaleHeight();
    switch (borderStyle_) {
    case 0:
        if (buttonDown_)
            DrawBevel(2);
        // Flat buttons show the focus by rising.
        if (hasFocus_ && !buttonDown_ && !hideFocus_)
            DrawBevel(1);
        break;
    case 1:
    case 2:
        DrawBevel(borderStyle_);
        if (hasFocus_ && !buttonDown_ && borderStyle_ == 1 && !hideFocus_) {
            surface.setLineStyle(LineStyle::Dotted);
            // The far corner sits 8 twips further in than the near one.
            surface.rectangle(50, 50, w - 50 - 8, h - 50 - 8, SystemColor::ButtonShadow);
            surface.setLineStyle(LineStyle::Solid);
        }
        break;
    default:
        break;
    }

    // The caption makes room for a visible picture beside or above it.
    double pL = 0, pW = 0, pT = 0, pH = 0;
    if (picture1_.isVisible()) {
        if (pictureAlign_ == 0) {
            pL = picture1_.Left();
            pW = picture1_.Width();
        } else if (pictureAlign_ == 1) {
            pT = picture1_.Top();
            pH = picture1_.Height();
        }
    }

    const double textWidth = surface.textWidth(caption_);
    double x = 0;
    if (textAlign_ == 2)
        x = (w - textWidth) / 2 + pL + pW;
    else if (textAlign_ == 1)
        x = 0.95 * w - textWidth;
    else
        x = 0.05 * w + pL + pW;
    const double textHeight = surface.textHeight("Hy");
    const double y = ((h - textHeight) - pH - pT) / 2 + (pH + pT);
    surface.setCurrentPosition(float(x - pressOffset_), float(y - pressOffset_));

    const Color foreColor = surface.textColor();
    // Grey also while the holding window is disabled.
    if (!host_.takesInput())
        surface.setTextColor(SystemColor::GrayText);
    surface.print(caption_);
    surface.setTextColor(foreColor);

    picture1_.refresh();
    host_.present();
}

void VarnoButtonCore::UserControl_Resize()
{
    pressOffset_ = buttonDown_ ? -10 : 0;
    const double offset = pressOffset_;
    const double w = host_.ScaleWidth();
    const double h = host_.ScaleHeight();

    // While down the picture moves twice as far right as down.
    switch (pictureAlign_) {
    case 0:
        picture1_.setTop(float((h - picture1_.Height()) / 2 - offset));
        picture1_.setLeft(float(0.05 * w - 2 * offset));
        break;
    case 1: {
        const double captionHeight = surface_.textHeight(caption_);
        picture1_.setTop(float((h - picture1_.Height() - captionHeight) / 2 - offset));
        picture1_.setLeft(float((w - picture1_.Width()) / 2 - 2 * offset));
        break;
    }
    default:
        // Auto-size stays on once a button has been centred this way.
        picture1_.setAutoSize(true);
        picture1_.setTop(float((h - picture1_.Height()) / 2 - offset));
        picture1_.setLeft(float((w - picture1_.Width()) / 2 - 2 * offset));
        break;
    }
}

void VarnoButtonCore::DrawGradient(Color startColor, Color endColor)
{
    const int surfaceHeight = int(roundHalfEven(host_.ScaleHeight()));
    const int bands = surfaceHeight / kBandHeight;
    std::vector<Color>& table = gradient_;
    table.assign(bands + 1, 0);

    // System colour values are taken as they are: their low bytes are red,
    // green and blue.
    const auto red = [](Color c) { return double(c & 0xFF); };
    const auto green = [](Color c) { return double((c >> 8) & 0xFF); };
    const auto blue = [](Color c) { return double((c >> 16) & 0xFF); };

    // A surface under one band high has a single band in the start colour.
    double stepRed = 0, stepGreen = 0, stepBlue = 0;
    if (bands != 0) {
        stepRed = (red(endColor) - red(startColor)) / bands;
        stepGreen = (green(endColor) - green(startColor)) / bands;
        stepBlue = (blue(endColor) - blue(startColor)) / bands;
    }

    double r = red(startColor), g = green(startColor), b = blue(startColor);
    for (int i = 0; i <= bands; ++i) {
        r = std::clamp(r, 0.0, 255.0);
        g = std::clamp(g, 0.0, 255.0);
        b = std::clamp(b, 0.0, 255.0);
        table[i] = Color(roundHalfEven(r)) + 256 * Color(roundHalfEven(g)) + 65536 * Color(roundHalfEven(b));
        r += stepRed;
        g += stepGreen;
        b += stepBlue;
    }

    const float w = host_.ScaleWidth();
    for (int y = 0; y <= surfaceHeight; y += kBandHeight)
        surface_.fillRectangle(0, float(y), w, float(y + kBandHeight), table[y / kBandHeight]);
}

void VarnoButtonCore::DrawBevel(int kind)
{
    PaintSurface& surface = surface_;
    const float w = host_.ScaleWidth();
    const float h = host_.ScaleHeight();
    const bool sunken = kind == 2 || buttonDown_;
    const Color topLeft = sunken ? SystemColor::DarkShadow : SystemColor::ButtonHighlight;
    const Color bottomRight = sunken ? SystemColor::ButtonHighlight : SystemColor::DarkShadow;

    // The light and dark edges: the top and left ones start a pixel in from
    // the corner and run to the far edge's corner.
    surface.setLineWidth(2);
    surface.line(15, 15, w, 0, topLeft);
    surface.line(15, 15, 0, h, topLeft);
    const float e = float(4 * surface.lineWidth());
    surface.line(w - e, 0, w - e, h - e, bottomRight);
    surface.line(0, h - e, w - e, h - e, bottomRight);

    surface.setLineWidth(1);
    const float m = float(8 * surface.lineWidth());
    const float wm = w - 2 * m;
    const float hm = h - 2 * m;
    constexpr float A = 45;  // the size of a cut corner

    // A gradient face fills its cut corners with its own bands, so no light
    // square breaks the fade; any other face gets the button face there.
    const auto corner = [&](float x1, float y1, float x2, float y2) {
        surface.setLineWidth(1);
        if (gradient_.empty()) {
            surface.fillRectangle(x1, y1, x2, y2, SystemColor::ButtonFace);
            return;
        }
        const int first = std::max(0, int(y1) / kBandHeight);
        for (int band = first; band < int(gradient_.size()) && band * kBandHeight <= y2; ++band)
            surface.fillRectangle(x1, std::max(y1, float(band * kBandHeight)), x2,
                                  std::min(y2, float(band * kBandHeight + kBandHeight)), gradient_[band]);
    };
    // Raised, the frame and the lower cuts are the heavy lines; sunken, the
    // upper cuts are.
    const bool inset = borderStyle_ == 2 || buttonDown_;
    const int a = inset ? 1 : 2;
    const int b = inset ? 2 : 1;

    surface.setLineWidth(a);
    surface.rectangle(0, 0, wm, hm, SystemColor::ButtonShadow);

    corner(0, 0, A, A);
    surface.setLineWidth(b);
    surface.line(0, A, A, 0, SystemColor::ButtonShadow);

    corner(0, hm - A, A, hm);
    surface.setLineWidth(a);
    surface.line(0, hm - A, A, hm, SystemColor::ButtonShadow);

    corner(wm - A, hm - A, wm, hm);
    surface.setLineWidth(a);
    surface.line(wm - A, hm, wm, hm - A, SystemColor::ButtonShadow);

    corner(wm - A, 0, wm, A);
    surface.setLineWidth(b);
    surface.line(wm - A, 0, wm, A, SystemColor::ButtonShadow);
}

}  // namespace ombrix
