#pragma once

#include <VarnoButton/Colors.h>

#include <QColor>
#include <QPalette>

namespace ombrix {

// The RGB colour a colour value stands for. System colours come from the palette
// (button face, shadows and text from its active group, grey text from its
// disabled group); a system entry the palette has no role for resolves to black.
QColor resolveColor(Color value, const QPalette& palette);

}  // namespace ombrix
