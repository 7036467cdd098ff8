#pragma once

#include "SystemColors.h"

#include <QPixmap>
#include <QWidget>

namespace ombrix {

// The picture element of a VarnoButton. Its position and size are kept in twips
// relative to the button, exactly as set, and the widget is placed on the
// nearest whole pixels. With auto-size on it takes the size of its picture;
// otherwise the picture sits centred in it. Input is left to the button.
class PictureBox final : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent);

    float Left() const { return left_; }
    void setLeft(float twips);
    float Top() const { return top_; }
    void setTop(float twips);
    float Width() const { return width_; }
    float Height() const { return height_; }

    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);

    const QPixmap& picture() const { return picture_; }
    void setPicture(const QPixmap& picture);

    quint32 backColor() const { return backColor_; }
    void setBackColor(quint32 color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fitToPicture();
    void place();

    float left_ = 240;
    float top_ = 240;
    float width_ = 495;
    float height_ = 375;
    bool autoSize_ = false;
    QPixmap picture_;
    quint32 backColor_ = SystemColor::ButtonFace;
};

}  // namespace ombrix
