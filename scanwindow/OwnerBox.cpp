#include "OwnerBox.h"

#include <charconv>
#include <cstdlib>
#include <string>

namespace ombrix::OwnerBox {

void Pass(const ViewLayout::Box& frame)
{
    const std::string text = std::to_string(frame.left) + ',' + std::to_string(frame.top) + ',' +
                             std::to_string(frame.width) + ',' + std::to_string(frame.height);
#ifdef _WIN32
    _putenv_s(kVariable, text.c_str());
#else
    ::setenv(kVariable, text.c_str(), 1);
#endif
}

std::optional<ViewLayout::Box> Given()
{
    const char* text = std::getenv(kVariable);
    return text ? Parse(text) : std::nullopt;
}

std::optional<ViewLayout::Box> Parse(std::string_view text)
{
    int values[4] = {};
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && (at == end || *at++ != ','))
            return std::nullopt;
        const auto [next, error] = std::from_chars(at, end, values[i]);
        if (error != std::errc())
            return std::nullopt;
        at = next;
    }
    if (at != end || values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return ViewLayout::Box{values[0], values[1], values[2], values[3]};
}

}  // namespace ombrix::OwnerBox
