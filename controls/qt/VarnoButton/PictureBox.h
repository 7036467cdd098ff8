#pragma once

#include <VarnoButton/PictureElement.h>

#include <QPixmap>
#include <QWidget>

namespace ombrix {

// The picture element of a VarnoButton. Its position and size are kept in twips
// relative to the button, exactly as set, and the widget is placed on the
// nearest whole pixels. With auto-size on it takes the size of its picture;
// otherwise the picture sits centred in it. Input is left to the button.
class PictureBox final : public QWidget, public PictureElement {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent);

    float Left() const override { return left_; }
    void setLeft(float twips) override;
    float Top() const override { return top_; }
    void setTop(float twips) override;
    float Width() const override { return width_; }
    float Height() const override { return height_; }
    bool isVisible() const override { return isVisibleTo(parentWidget()); }
    void setVisible(bool visible) override { QWidget::setVisible(visible); }
    bool autoSize() const override { return autoSize_; }
    void setAutoSize(bool on) override;
    PictureData picture() const override;
    void setPicture(const PictureData& picture) override;
    Color backColor() const override { return backColor_; }
    void setBackColor(Color color) override;
    void refresh() override { update(); }

    const QPixmap& pixmap() const { return picture_; }
    void setPixmap(const QPixmap& picture);

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
    Color backColor_ = SystemColor::ButtonFace;
};

}  // namespace ombrix
