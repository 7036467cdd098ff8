#pragma once

#include <VarnoButton/PictureElement.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace ombrix {

class VarnoButtonWindow;

// Picture1 of a VarnoButton window: a child window placed on the nearest whole
// pixels of its twips, showing the picture centred on the background colour.
// Its mouse input goes to the button, in its own coordinates.
class PictureWindow final : public PictureElement {
public:
    PictureWindow(VarnoButtonWindow& button, double scale);
    ~PictureWindow() override;
    PictureWindow(const PictureWindow&) = delete;
    PictureWindow& operator=(const PictureWindow&) = delete;

    HWND window() const { return window_; }

    float Left() const override { return left_; }
    void setLeft(float twips) override;
    float Top() const override { return top_; }
    void setTop(float twips) override;
    float Width() const override { return width_; }
    float Height() const override { return height_; }
    bool isVisible() const override;
    void setVisible(bool visible) override;
    bool autoSize() const override { return autoSize_; }
    void setAutoSize(bool on) override;
    PictureData picture() const override { return picture_; }
    void setPicture(const PictureData& picture) override;
    Color backColor() const override { return backColor_; }
    void setBackColor(Color color) override;
    void refresh() override;

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void fitToPicture();
    void place();
    int pixels(float twips) const;

    VarnoButtonWindow& button_;
    double scale_;
    HWND window_ = nullptr;
    float left_ = 240;
    float top_ = 240;
    float width_ = 495;
    float height_ = 375;
    bool autoSize_ = false;
    PictureData picture_;
    Color backColor_ = SystemColor::ButtonFace;
};

}  // namespace ombrix
