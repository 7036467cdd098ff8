#pragma once

#include "Colors.h"
#include "PictureData.h"

namespace ombrix {

// The button's child element Picture1, which shows Picture above the face.
// Position and size are twips relative to the button. With auto-size on it
// takes the size of its picture; input on it is input on the button.
class PictureElement {
public:
    virtual ~PictureElement() = default;

    virtual float Left() const = 0;
    virtual void setLeft(float twips) = 0;
    virtual float Top() const = 0;
    virtual void setTop(float twips) = 0;
    virtual float Width() const = 0;
    virtual float Height() const = 0;
    virtual bool isVisible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool autoSize() const = 0;
    virtual void setAutoSize(bool on) = 0;
    virtual PictureData picture() const = 0;
    virtual void setPicture(const PictureData& picture) = 0;
    virtual Color backColor() const = 0;
    virtual void setBackColor(Color color) = 0;
    virtual void refresh() = 0;
};

}  // namespace ombrix
