#pragma once

#include <Qt>

#include <cstdint>

class QKeyEvent;

namespace ombrix {

// Qt's input reported in the codes VarnoButton's events carry.

// The virtual-key code of the key: 13 Enter, 32 Space, 65 to 90 the letters;
// 0 for a key that has none.
int16_t virtualKeyCode(const QKeyEvent& event);

// Bits 1 Shift, 2 Ctrl, 4 Alt.
int16_t shiftBits(Qt::KeyboardModifiers modifiers);

// Bits 1 left, 2 right, 4 middle.
int16_t buttonBits(Qt::MouseButtons buttons);

}  // namespace ombrix
