#include "VarnoButton/ImageSurface.h"

#include "VarnoButton/SystemColors.h"

#include <VarnoButton/Twips.h>

#include <QFontMetricsF>
#include <QPainter>
#include <QWidget>

namespace ombrix {

namespace {

// Text drawn at one position: line breaks start new lines below it.
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextShowMnemonic;

// A surface never has fewer than one pixel, so painting never needs a guard.
QSize imageSize(const QWidget& owner)
{
    return (owner.size() * owner.devicePixelRatioF()).expandedTo(QSize(1, 1));
}

QColor fromRgb(uint32_t rgb)
{
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

}  // namespace

ImageSurface::ImageSurface(const QWidget& owner)
    : owner_(owner)
{
}

bool ImageSurface::isStale() const
{
    return image_.size() != imageSize(owner_) || image_.devicePixelRatio() != owner_.devicePixelRatioF();
}

double ImageSurface::scale() const
{
    return owner_.devicePixelRatioF();
}

void ImageSurface::fillBackground()
{
    if (isStale()) {
        image_ = QImage(imageSize(owner_), QImage::Format_RGB32);
        image_.setDevicePixelRatio(owner_.devicePixelRatioF());
    }
    image_.fill(fromRgb(resolve(backColor())));
}

void ImageSurface::fillPixels(int x, int y, int width, int height, uint32_t rgb)
{
    const QRect area = QRect(x, y, width, height) & image_.rect();
    const QRgb color = fromRgb(rgb).rgb();
    for (int row = area.top(); row <= area.bottom(); ++row)
        std::fill_n(reinterpret_cast<QRgb*>(image_.scanLine(row)) + area.left(), area.width(), color);
}

uint32_t ImageSurface::resolve(Color color) const
{
    const QColor rgb = resolveColor(color, owner_.palette());
    return uint32_t(rgb.red()) | uint32_t(rgb.green()) << 8 | uint32_t(rgb.blue()) << 16;
}

float ImageSurface::textWidth(const std::string& text) const
{
    return float(QFontMetricsF(owner_.font()).size(Qt::TextShowMnemonic, QString::fromStdString(text)).width())
        * kTwipsPerPixel;
}

float ImageSurface::textHeight(const std::string& text) const
{
    return float(QFontMetricsF(owner_.font()).size(Qt::TextShowMnemonic, QString::fromStdString(text)).height())
        * kTwipsPerPixel;
}

void ImageSurface::print(const std::string& text)
{
    QPainter painter(&image_);
    painter.setFont(owner_.font());
    painter.setPen(fromRgb(resolve(textColor())));
    const QPointF topLeft(currentX() / kTwipsPerPixel, currentY() / kTwipsPerPixel);
    painter.drawText(QRectF(topLeft, QSizeF(0, 0)), kTextFlags, QString::fromStdString(text));
}

}  // namespace ombrix
