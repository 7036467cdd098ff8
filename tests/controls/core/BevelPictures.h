#pragma once

#include <VarnoButton/VarnoButtonCore.h>

#include <functional>
#include <string>
#include <vector>

namespace ombrix::test {

// The size in pixels of the button the pictures show.
inline constexpr int kBevelWidth = 16;
inline constexpr int kBevelHeight = 10;

// A look of the button and its device pixels at scales 1 and 2, as
// MemorySurface letters. Every skin must paint the same pixels.
struct BevelCase {
    const char* name;
    std::function<void(VarnoButtonCore&)> apply;
    std::vector<std::string> scale1;
    std::vector<std::string> scale2;
};

const std::vector<BevelCase>& bevelCases();

}  // namespace ombrix::test
