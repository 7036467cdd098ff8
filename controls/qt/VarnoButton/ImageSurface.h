#pragma once

#include <VarnoButton/PixelSurface.h>

#include <QImage>

class QWidget;

namespace ombrix {

// Paints into an image the size of its owner widget in device pixels, which
// the owner shows in its paint event. The image outlives repaints, so a face
// drawn by a property setter is on screen without waiting for the platform.
// The font and the system colours come from the owner; an "&" in text marks
// the next letter as the mnemonic, "&&" is an "&".
class ImageSurface final : public PixelSurface {
public:
    explicit ImageSurface(const QWidget& owner);

    const QImage& image() const { return image_; }
    // True when the image no longer matches the owner's size or pixel ratio.
    bool isStale() const;

    double scale() const override;
    float textWidth(const std::string& text) const override;
    float textHeight(const std::string& text) const override;
    void print(const std::string& text) override;

protected:
    void fillBackground() override;
    void fillPixels(int x, int y, int width, int height, uint32_t rgb) override;
    uint32_t resolve(Color color) const override;

private:
    const QWidget& owner_;
    QImage image_;
};

}  // namespace ombrix
