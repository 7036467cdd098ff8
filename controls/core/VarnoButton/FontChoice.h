#pragma once

#include <string>

namespace ombrix {

// A font as the button saves it; each skin turns it into its toolkit's font.
struct FontChoice {
    std::string name;  // UTF-8 family name
    float points = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;

    bool operator==(const FontChoice&) const = default;
};

}  // namespace ombrix
