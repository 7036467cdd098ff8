#pragma once

#include "RecordingSurface.h"

#include <VarnoButton/VarnoButtonCore.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ombrix::test {

using Journal = std::vector<std::string>;

// Picture1 as a record of what the button set: 495 by 375 twips at (240, 240).
struct FakePicture final : PictureElement {
    float left = 240, top = 240, width = 495, height = 375;
    bool visible = false, autoSizeOn = false;
    PictureData data;
    Color back = SystemColor::ButtonFace;

    float Left() const override { return left; }
    void setLeft(float twips) override { left = twips; }
    float Top() const override { return top; }
    void setTop(float twips) override { top = twips; }
    float Width() const override { return width; }
    float Height() const override { return height; }
    bool isVisible() const override { return visible; }
    void setVisible(bool on) override { visible = on; }
    bool autoSize() const override { return autoSizeOn; }
    void setAutoSize(bool on) override;
    PictureData picture() const override { return data; }
    void setPicture(const PictureData& picture) override;
    Color backColor() const override { return back; }
    void setBackColor(Color color) override { back = color; }
    void refresh() override {}
};

// The skin as a record: events and notifications go to the journal as lines
// such as "KeyDown 32 0", "MouseUp 1 0 150 300" or "notify Caption".
struct FakeHost final : ControlHost {
    Journal& journal;
    float width = 1500, height = 450;
    bool enabled = true, holderEnabled = true;
    FontChoice currentFont{"Arial", 8}, holderFont{"Arial", 8};

    explicit FakeHost(Journal& journal) : journal(journal) {}
    float ScaleWidth() const override { return width; }
    float ScaleHeight() const override { return height; }
    bool Enabled() const override { return enabled; }
    void setEnabled(bool on) override { enabled = on; }
    bool takesInput() const override { return enabled && holderEnabled; }
    FontChoice font() const override { return currentFont; }
    void setFont(const FontChoice& font) override { currentFont = font; }
    FontChoice ambientFont() const override { return holderFont; }
    void PropertyChanged(const std::string& name) override { journal.push_back("notify " + name); }
    void present() override {}

    void Click() override { journal.push_back("Click"); }
    void DblClick() override { journal.push_back("DblClick"); }
    void KeyDown(int16_t& k, int16_t& s) override { log("KeyDown", {double(k), double(s)}); }
    void KeyPress(int16_t& k) override { log("KeyPress", {double(k)}); }
    void KeyUp(int16_t& k, int16_t& s) override { log("KeyUp", {double(k), double(s)}); }
    void MouseDown(int16_t& b, int16_t& s, float& x, float& y) override { log("MouseDown", {double(b), double(s), x, y}); }
    void MouseMove(int16_t& b, int16_t& s, float& x, float& y) override { log("MouseMove", {double(b), double(s), x, y}); }
    void MouseUp(int16_t& b, int16_t& s, float& x, float& y) override { log("MouseUp", {double(b), double(s), x, y}); }

private:
    void log(const char* event, std::initializer_list<double> values);
};

// A new core button (InitProperties has run) 1500 by 450 twips. The journal
// gets its events, notifications, and "paint down" or "paint up" at every
// repaint.
class CoreButtonTest : public ::testing::Test {
protected:
    CoreButtonTest();

    // The caption's top-left corner at the last repaint.
    std::pair<float, float> caption() const;

    Journal journal;
    RecordingSurface surface;
    FakePicture picture1;
    FakeHost host{journal};
    VarnoButtonCore button{host, surface, picture1};
};

}  // namespace ombrix::test
