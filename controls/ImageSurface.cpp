#include "ImageSurface.h"

#include "Twips.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QWidget>

namespace ombrix {

namespace {

// Text drawn at one position: line breaks start new lines below it.
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip;

// A surface never has fewer than one pixel, so painting never needs a guard.
QSize imageSize(const QWidget& owner)
{
    return (owner.size() * owner.devicePixelRatioF()).expandedTo(QSize(1, 1));
}

int toPixels(float twips)
{
    return qRound(twips / kTwipsPerPixel);
}

QPoint toPixels(float x, float y)
{
    return {toPixels(x), toPixels(y)};
}

}  // namespace

ImageSurface::ImageSurface(const QWidget& owner)
    : owner_(owner)
{
}

bool ImageSurface::isStale() const
{
    return image_.size() != imageSize(owner_)
        || image_.devicePixelRatio() != owner_.devicePixelRatioF();
}

void ImageSurface::fillBackground()
{
    if (isStale()) {
        image_ = QImage(imageSize(owner_), QImage::Format_ARGB32_Premultiplied);
        image_.setDevicePixelRatio(owner_.devicePixelRatioF());
    }
    image_.fill(resolve(backColor()));
}

void ImageSurface::line(float x1, float y1, float x2, float y2, quint32 color)
{
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen(color));
    // Odd widths centre on the pixel a coordinate names, even widths on its edge.
    const qreal shift = lineWidth() % 2 ? 0.5 : 0;
    const auto at = [shift](float x, float y) {
        return QPointF(x / kTwipsPerPixel + shift, y / kTwipsPerPixel + shift);
    };
    painter.drawLine(at(x1, y1), at(x2, y2));
}

void ImageSurface::rectangle(float x1, float y1, float x2, float y2, quint32 color)
{
    QPainter painter(&image_);
    painter.setPen(pen(color));
    // The outline runs through both corners.
    const QRect box = QRect(toPixels(x1, y1), toPixels(x2, y2)).normalized();
    painter.drawRect(QRectF(box.topLeft(), box.bottomRight()));
}

void ImageSurface::fillRectangle(float x1, float y1, float x2, float y2, quint32 color)
{
    QPainter painter(&image_);
    painter.fillRect(QRect(toPixels(x1, y1), toPixels(x2, y2)).normalized(), resolve(color));
}

float ImageSurface::textWidth(const QString& text) const
{
    return float(QFontMetricsF(owner_.font()).size(0, text).width()) * kTwipsPerPixel;
}

float ImageSurface::textHeight(const QString& text) const
{
    return float(QFontMetricsF(owner_.font()).size(0, text).height()) * kTwipsPerPixel;
}

void ImageSurface::print(const QString& text)
{
    QPainter painter(&image_);
    painter.setFont(owner_.font());
    painter.setPen(resolve(textColor()));
    const QPointF topLeft(currentX() / kTwipsPerPixel, currentY() / kTwipsPerPixel);
    painter.drawText(QRectF(topLeft, QSizeF(0, 0)), kTextFlags, text);
}

QColor ImageSurface::resolve(quint32 color) const
{
    return resolveColor(color, owner_.palette());
}

QPen ImageSurface::pen(quint32 color) const
{
    // Widths scale with the screen's pixel ratio, like every other length.
    QPen pen(resolve(color), lineWidth());
    if (lineStyle() == LineStyle::Dotted) {
        // Dots of whole device pixels with flat ends: a scaled pen lands on
        // fractions of pixels, and square ends close the gaps, so either
        // turns the dots into a solid line at a pixel ratio above 1.
        pen.setCosmetic(true);
        pen.setWidth(qMax(1, qRound(lineWidth() * image_.devicePixelRatio())));
        pen.setCapStyle(Qt::FlatCap);
        pen.setDashPattern({1, 1});
    }
    return pen;
}

}  // namespace ombrix
