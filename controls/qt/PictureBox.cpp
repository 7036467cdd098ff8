#include "VarnoButton/PictureBox.h"

#include "VarnoButton/Conversions.h"
#include "VarnoButton/SystemColors.h"

#include <VarnoButton/Twips.h>

#include <QPainter>

namespace ombrix {

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    place();
}

void PictureBox::setLeft(float twips)
{
    left_ = twips;
    place();
}

void PictureBox::setTop(float twips)
{
    top_ = twips;
    place();
}

void PictureBox::setAutoSize(bool on)
{
    autoSize_ = on;
    fitToPicture();
}

PictureData PictureBox::picture() const
{
    return toPictureData(picture_);
}

void PictureBox::setPicture(const PictureData& picture)
{
    setPixmap(toPixmap(picture));
}

void PictureBox::setPixmap(const QPixmap& picture)
{
    picture_ = picture;
    fitToPicture();
    update();
}

void PictureBox::setBackColor(Color color)
{
    backColor_ = color;
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), resolveColor(backColor_, palette()));
    if (picture_.isNull())
        return;
    QRect target(QPoint(0, 0), picture_.deviceIndependentSize().toSize());
    target.moveCenter(rect().center());
    painter.drawPixmap(target, picture_);
}

void PictureBox::fitToPicture()
{
    if (!autoSize_ || picture_.isNull())
        return;
    const QSizeF size = picture_.deviceIndependentSize();
    width_ = float(size.width()) * kTwipsPerPixel;
    height_ = float(size.height()) * kTwipsPerPixel;
    place();
}

void PictureBox::place()
{
    setGeometry(qRound(left_ / kTwipsPerPixel), qRound(top_ / kTwipsPerPixel),
                qRound(width_ / kTwipsPerPixel), qRound(height_ / kTwipsPerPixel));
}

}  // namespace ombrix
