#pragma once

#include <cstdint>

namespace ombrix {

// Colour values are 32-bit: below 0x80000000 an RGB colour laid out 0x00BBGGRR,
// 0x80000000 + n entry n of the system colour table, which each skin resolves
// from its toolkit's palette.
using Color = uint32_t;

namespace SystemColor {
inline constexpr Color Flag = 0x80000000;
inline constexpr Color ButtonFace = 0x8000000F;
inline constexpr Color ButtonShadow = 0x80000010;
inline constexpr Color GrayText = 0x80000011;
inline constexpr Color ButtonText = 0x80000012;
inline constexpr Color ButtonHighlight = 0x80000014;
inline constexpr Color DarkShadow = 0x80000015;
}  // namespace SystemColor

}  // namespace ombrix
