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

namespace {

// Months, days and clock values: always two digits.
std::string twoDigits(int value)
{
    return {char('0' + value / 10 % 10), char('0' + value % 10)};
}

}  // namespace

std::string dateText(const std::tm& when)
{
    return std::to_string(when.tm_year + 1900) + "-" + twoDigits(when.tm_mon + 1) + "-" + twoDigits(when.tm_mday);
}

std::string timeText(const std::tm& when)
{
    return twoDigits(when.tm_hour) + ":" + twoDigits(when.tm_min) + ":" + twoDigits(when.tm_sec);
}

}  // namespace ombrix
