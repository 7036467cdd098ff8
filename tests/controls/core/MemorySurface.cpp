#include "MemorySurface.h"

#include <algorithm>

namespace ombrix::test {

namespace {

constexpr std::pair<Color, char> kLetters[] = {
    {SystemColor::ButtonHighlight, 'H'}, {SystemColor::DarkShadow, 'D'}, {SystemColor::ButtonShadow, 'S'},
    {SystemColor::ButtonFace, 'F'},      {0x00FFFFFF, 'w'},              {0x000000FF, 'r'},
};

}  // namespace

char colorLetter(Color color)
{
    for (const auto& [value, letter] : kLetters)
        if (value == color)
            return letter;
    return '?';
}

MemorySurface::MemorySurface(int width, int height, double scale)
    : scale_(scale)
    , rows_(size_t(height), std::string(size_t(width), ' '))
{
}

void MemorySurface::fillBackground()
{
    for (std::string& row : rows_)
        std::fill(row.begin(), row.end(), char(resolve(backColor())));
}

void MemorySurface::fillPixels(int x, int y, int width, int height, uint32_t rgb)
{
    for (int row = std::max(0, y); row < std::min(int(rows_.size()), y + height); ++row)
        for (int column = std::max(0, x); column < std::min(int(rows_[row].size()), x + width); ++column)
            rows_[row][column] = char(rgb);
}

// System colours keep their letter through "resolving"; an RGB colour
// becomes its letter too.
uint32_t MemorySurface::resolve(Color color) const
{
    return uint32_t(colorLetter(color));
}

}  // namespace ombrix::test
