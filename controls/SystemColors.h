#pragma once

#include <QColor>
#include <QPalette>
#include <QtGlobal>

namespace ombrix {

// Colour values are 32-bit: below 0x80000000 an RGB colour laid out 0x00BBGGRR,
// 0x80000000 + n entry n of the system colour table.
namespace SystemColor {
inline constexpr quint32 ButtonFace = 0x8000000F;
inline constexpr quint32 ButtonShadow = 0x80000010;
inline constexpr quint32 GrayText = 0x80000011;
inline constexpr quint32 ButtonText = 0x80000012;
inline constexpr quint32 ButtonHighlight = 0x80000014;
inline constexpr quint32 DarkShadow = 0x80000015;
}  // namespace SystemColor

// The RGB colour a colour value stands for. System colours come from the palette
// (button face, shadows and text from its active group, grey text from its
// disabled group); a system entry the palette has no role for resolves to black.
QColor resolveColor(quint32 value, const QPalette& palette);

}  // namespace ombrix
