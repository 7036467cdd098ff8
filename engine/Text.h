#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace ombrix {

// Trims the space character only; TABs stay.
inline std::string_view trimSpaces(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Whole numbers as decimal digits, no sign, no separators.
std::string decimal(double wholeNumber);
std::string decimal(std::size_t number);

// 2005-08-12 and 09:05:07.
std::string dateText(const std::tm& when);
std::string timeText(const std::tm& when);

}  // namespace ombrix
