#pragma once

#include <string>

namespace ombrix {

// A font as the button saves it; each skin turns it into its toolkit's font.
struct FontSpec {
    std::string name;  // UTF-8 family name
    float points = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;

    bool operator==(const FontSpec&) const = default;
};

}  // namespace ombrix
