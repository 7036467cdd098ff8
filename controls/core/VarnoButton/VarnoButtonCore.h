#pragma once

#include "ControlHost.h"
#include "PaintSurface.h"
#include "PictureElement.h"
#include "PropertyStore.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ombrix {

// An owner-drawn push or toggle button without a toolkit: a plain or gradient
// face, a bevelled border with cut corners, a focus cue, a caption and an
// optional picture, all laid out in twips (15 per pixel). A skin supplies
// the surface, the picture element and the host, and feeds in the platform's
// input as the UserControl_ and Picture1_ calls.
//
// Every setter tells the host the property's persisted name (so the holder
// knows to save); most also repaint at once. No setter checks its value:
// out-of-range numbers are kept and drawn as the nearest meaning.
class VarnoButtonCore {
public:
    VarnoButtonCore(ControlHost& host, PaintSurface& surface, PictureElement& picture1);

    // Colours are 0x00BBGGRR, or 0x80000000 + n for system colour n.
    Color BackColor() const;
    void setBackColor(Color color);
    Color ForeColor() const;
    void setForeColor(Color color);
    bool Enabled() const;
    void setEnabled(bool enabled);
    FontChoice Font() const;
    void setFont(const FontChoice& font);
    // Repaints the face now.
    void Refresh();
    // UTF-8.
    const std::string& Caption() const;
    void setCaption(const std::string& caption);
    // 0 flat (border only while down or as focus cue), 1 raised, 2 sunken, other none.
    int32_t BorderStyle() const;
    void setBorderStyle(int32_t borderStyle);
    // 0 left, 1 right, 2 centred.
    int32_t TextAlign() const;
    void setTextAlign(int32_t textAlign);
    // 1 toggle, any other value push.
    int32_t Behavior() const;
    void setBehavior(int32_t behavior);
    // 1 gradient from FadetoColor at the top to BackColor at the bottom, other plain.
    int32_t Style() const;
    void setStyle(int32_t style);
    Color FadetoColor() const;
    void setFadetoColor(Color color);
    PictureData Picture() const;
    void setPicture(const PictureData& picture);
    bool ShowPicture() const;
    void setShowPicture(bool show);
    bool HideFocus() const;
    void setHideFocus(bool hide);
    bool ButtonDown() const;
    void setButtonDown(bool down);
    // 0 left of the caption, 1 above it, other centred at the picture's own size.
    int32_t PictureAlign() const;
    void setPictureAlign(int32_t pictureAlign);

    // Gives a button placed new on its holder the default properties and the
    // holder's font.
    void InitProperties();
    // Restores the properties WriteProperties() saved; absent ones get their defaults.
    void ReadProperties(const PropertyStore& store);
    // Saves every property that differs from its default.
    void WriteProperties(PropertyStore& store) const;

    // The holder's receiver of the events; nullptr for none. Not owned.
    void setEventHandler(VarnoButtonEvents* handler) { events_ = handler; }

    // Drawing and layout, called by the skin when the platform repaints or
    // resizes the surface.
    void UserControl_Paint();
    void UserControl_Resize();

    // Input from the platform, on the surface and on Picture1 (whose mouse
    // coordinates are its own).
    void UserControl_GotFocus();
    void UserControl_LostFocus();
    void UserControl_Click();
    void UserControl_DblClick();
    void UserControl_KeyDown(int16_t KeyCode, int16_t Shift);
    void UserControl_KeyPress(int16_t KeyAscii);
    void UserControl_KeyUp(int16_t KeyCode, int16_t Shift);
    void UserControl_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void UserControl_MouseMove(int16_t Button, int16_t Shift, float X, float Y);
    void UserControl_MouseUp(int16_t Button, int16_t Shift, float X, float Y);
    void Picture1_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void Picture1_MouseMove(int16_t Button, int16_t Shift, float X, float Y);
    void Picture1_MouseUp(int16_t Button, int16_t Shift, float X, float Y);

    // True when the key presses and releases the button; the skin keeps such
    // keys from the window around it (a dialog's default button).
    static bool pressesButton(int16_t keyCode);
    bool HasFocus() const { return hasFocus_; }

private:
    void notify(const char* name);
    // Input and setBehavior(0) change ButtonDown without notifying.
    void putButtonDown(bool down);
    void DrawGradient(Color startColor, Color endColor);
    void DrawBevel(int kind);

    ControlHost& host_;
    PaintSurface& surface_;
    PictureElement& picture1_;
    VarnoButtonEvents* events_ = nullptr;

    int32_t pictureAlign_ = 0;
    bool buttonDown_ = false;
    bool hideFocus_ = false;
    bool showPicture_ = false;
    Color fadetoColor_ = 0;
    int32_t style_ = 0;
    int32_t behavior_ = 0;
    int32_t textAlign_ = 0;
    int32_t borderStyle_ = 0;
    std::string caption_ = "VarnoButton";

    // The band colours of the gradient this repaint drew; empty for a plain face.
    std::vector<Color> gradient_;
    bool hasFocus_ = false;
    // -10 while the last layout saw the button down: content shifts right and down.
    float pressOffset_ = 0;
};

}  // namespace ombrix
