#pragma once

#include <cstdint>

// The faces and borders both galleries show, one row and one column each, so the
// two platforms' pictures can be compared button by button.
namespace ombrix::gallery {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

struct Face {
    const char* name;
    std::int32_t style;
    std::uint32_t backColor;    // the bottom of a gradient face
    std::uint32_t fadetoColor;  // the top
};

constexpr Face kFaces[] = {
    {"Plain", 0, 0x8000000F, 0},
    {"Sky", 1, 0x00E8B070, kWhite},
    {"Amber", 1, 0x0040B0F5, kWhite},
    {"Fern", 1, 0x006EC87C, kWhite},
};

struct Border {
    const char* name;
    std::int32_t borderStyle;
};

constexpr Border kBorders[] = {{"Flat", 0}, {"Raised", 1}, {"Sunken", 2}, {"None", 3}};

}  // namespace ombrix::gallery
