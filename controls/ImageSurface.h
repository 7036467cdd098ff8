#pragma once

#include "PaintSurface.h"

#include <QImage>
#include <QPen>

class QWidget;

namespace ombrix {

// Paints into an image the size of its owner widget, which the owner shows in
// its paint event. The image outlives repaints, so a face drawn by a property
// setter is on screen without waiting for the platform. Twips are rounded to
// whole pixels so lines and bands stay crisp; the font and the system colours
// come from the owner.
class ImageSurface final : public PaintSurface {
public:
    explicit ImageSurface(const QWidget& owner);

    const QImage& image() const { return image_; }
    // True when the image no longer matches the owner's size or pixel ratio.
    bool isStale() const;

    void line(float x1, float y1, float x2, float y2, quint32 color) override;
    void rectangle(float x1, float y1, float x2, float y2, quint32 color) override;
    void fillRectangle(float x1, float y1, float x2, float y2, quint32 color) override;
    float textWidth(const QString& text) const override;
    float textHeight(const QString& text) const override;
    void print(const QString& text) override;

protected:
    void fillBackground() override;

private:
    QColor resolve(quint32 color) const;
    QPen pen(quint32 color) const;

    const QWidget& owner_;
    QImage image_;
};

}  // namespace ombrix
