#include "VarnoButton/SystemColors.h"

namespace ombrix {

namespace {

QColor systemColor(Color index, const QPalette& palette)
{
    const auto active = [&palette](QPalette::ColorRole role) {
        return palette.color(QPalette::Active, role);
    };
    switch (index) {
    case 5: return active(QPalette::Base);                // window background
    case 8: return active(QPalette::Text);                // window text
    case 13: return active(QPalette::Highlight);          // selected item
    case 14: return active(QPalette::HighlightedText);    // selected item text
    case 15: return active(QPalette::Button);             // button face
    case 16: return active(QPalette::Dark);               // button shadow
    case 17: return palette.color(QPalette::Disabled, QPalette::ButtonText);  // grey text
    case 18: return active(QPalette::ButtonText);         // button text
    case 20: return active(QPalette::Light);              // 3D highlight
    case 21: return active(QPalette::Shadow);             // 3D dark shadow
    default: return Qt::black;
    }
}

}  // namespace

QColor resolveColor(Color value, const QPalette& palette)
{
    if (value & SystemColor::Flag)
        return systemColor(value & 0xFF, palette);
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

}  // namespace ombrix
