#pragma once

namespace ombrix {

// VarnoButton keeps its geometry in twips, 1/1440 inch: at 96 dots per inch a
// pixel is 15 of them. A screen's scaling applies on top.
inline constexpr float kTwipsPerPixel = 15;

}  // namespace ombrix
