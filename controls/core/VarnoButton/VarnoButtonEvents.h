#pragma once

#include <cstdint>

namespace ombrix {

// What a VarnoButton tells the window that holds it. The button calls these
// directly, in the middle of its own handling, and every parameter is a
// reference the handler may change: a KeyDown or KeyUp handler that changes
// KeyCode changes what the button does with the key. X and Y are twips from
// the button's top-left corner. KeyCode is a virtual-key code (13 Enter,
// 32 Space, 65 "A"; 231 for a key that has none but types a character, 255
// for one that types none), Shift holds the bits 1 Shift, 2 Ctrl, 4 Alt,
// Button the bits 1 left, 2 right, 4 middle, KeyAscii the character's code in
// the system's 8-bit encoding (63, "?", for a character it cannot hold).
class VarnoButtonEvents {
public:
    virtual ~VarnoButtonEvents() = default;

    // A mouse click released over the button, or Enter or Space let go.
    virtual void Click() {}
    // The second press of a mouse double click.
    virtual void DblClick() {}
    // Every key press while the button has the focus, repeats included; the
    // button looks at KeyCode after this returns.
    virtual void KeyDown(int16_t& /*KeyCode*/, int16_t& /*Shift*/) {}
    // A key press that types a character (Enter and Space included).
    virtual void KeyPress(int16_t& /*KeyAscii*/) {}
    // A key let go; the button looks at KeyCode after this returns.
    virtual void KeyUp(int16_t& /*KeyCode*/, int16_t& /*Shift*/) {}
    // Any mouse button pressed, after the button has been drawn down.
    virtual void MouseDown(int16_t& /*Button*/, int16_t& /*Shift*/, float& /*X*/, float& /*Y*/) {}
    // The pointer moved; Button holds every mouse button that is down.
    virtual void MouseMove(int16_t& /*Button*/, int16_t& /*Shift*/, float& /*X*/, float& /*Y*/) {}
    // A mouse button let go, wherever the pointer is, after the button has
    // been drawn in its new state.
    virtual void MouseUp(int16_t& /*Button*/, int16_t& /*Shift*/, float& /*X*/, float& /*Y*/) {}
};

}  // namespace ombrix
