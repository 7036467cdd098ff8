#pragma once

#include <span>

namespace ombrix {

// A window described once, the way its form file would, for both views to build
// their widgets from. Geometry is in twips, relative to the window's client area.

enum class ControlKind { Picture, Label, List, Button };

// What a screen reader is told the control is.
enum class AccessibleRole { Graphic, StaticText, Table, PushButton };

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct ControlDescription {
    const char* name;  // the designer's name; the widget's object name
    ControlKind kind;
    TwipsRect rect;
    // A label's or button's design text; for a picture, the artwork it shows.
    const char* text;
    bool bold;  // the form's font, in its bold weight
    // Position in the Tab order, from 0; -1 for a control Tab passes over.
    int tabIndex;
    const char* accessibleName;
    AccessibleRole role;
};

// A column of a list in report view.
struct ColumnDescription {
    const char* title;
    int width;  // twips
    bool alignRight;
};

struct FormDescription {
    const char* title;
    int clientWidth;  // twips
    int clientHeight;
    double fontPoints;  // Arial, the size every control uses
    std::span<const ControlDescription> controls;
};

}  // namespace ombrix
