#pragma once

#include <cstdint>

namespace ombrix {

// The codes the button's events carry, as a Windows program receives them.
namespace KeyCode {
inline constexpr int16_t Enter = 13;
inline constexpr int16_t Space = 32;
// A key that has no virtual-key code of its own but types a character (a
// letter such as "é", "ß" or a Cyrillic one): the character comes in KeyPress.
inline constexpr int16_t Character = 231;
// A key with neither a virtual-key code nor a character (a dead key).
inline constexpr int16_t Unmapped = 255;
}  // namespace KeyCode

// Shift: bits 1 Shift, 2 Ctrl, 4 Alt. Button: bits 1 left, 2 right, 4 middle.
namespace ShiftBit {
inline constexpr int16_t Shift = 1;
inline constexpr int16_t Ctrl = 2;
inline constexpr int16_t Alt = 4;
}  // namespace ShiftBit

namespace MouseBit {
inline constexpr int16_t Left = 1;
inline constexpr int16_t Right = 2;
inline constexpr int16_t Middle = 4;
}  // namespace MouseBit

}  // namespace ombrix
