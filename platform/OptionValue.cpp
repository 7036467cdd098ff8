#include "OptionValue.h"

#include <algorithm>
#include <string_view>

namespace ombrix {

std::int16_t OptionValue(const std::string& text)
{
    constexpr std::string_view kBlanks = " \t\r\n\v\f";
    std::string_view number = text;
    number.remove_prefix(std::min(number.size(), number.find_first_not_of(kBlanks)));
    number.remove_suffix(number.size() - (number.find_last_not_of(kBlanks) + 1));
    const bool negative = number.starts_with('-');
    if (negative || number.starts_with('+'))
        number.remove_prefix(1);
    const auto point = number.find('.');
    std::string_view whole = number.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? std::string_view() : number.substr(point + 1);
    const auto digitsOnly = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if ((whole.empty() && fraction.empty()) || !digitsOnly(whole) || !digitsOnly(fraction))
        return 1;
    whole.remove_prefix(std::min(whole.size(), whole.find_first_not_of('0')));
    fraction.remove_suffix(fraction.size() - (fraction.find_last_not_of('0') + 1));
    if (whole.empty() && fraction.empty())
        return 0;
    return !negative && whole == "2" && fraction.empty() ? 2 : 1;
}

}  // namespace ombrix
