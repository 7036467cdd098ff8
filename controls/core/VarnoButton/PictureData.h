#pragma once

#include <cstdint>
#include <vector>

namespace ombrix {

// A picture as the button saves it: rows top to bottom, each pixel 0xAARRGGBB
// with straight alpha. An empty picture is "no picture".
struct PictureData {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    bool isNull() const { return pixels.empty(); }
    bool operator==(const PictureData&) const = default;
};

}  // namespace ombrix
