#include "Text.h"

#include <charconv>
#include <cstdint>

namespace ombrix {

std::string decimal(std::size_t number)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    return std::string(digits, end);
}

std::string decimal(double wholeNumber)
{
    return decimal(std::size_t(wholeNumber < 0 ? 0 : wholeNumber));
}

}  // namespace ombrix
