#pragma once

#include <span>
#include <string_view>

namespace ombrix {

// A window described once, the way its form file would, for both views to build
// their widgets from. Geometry is in twips, relative to the window's client area
// or to the control's panel.

// Value: a one-line label showing a stored value or a path as it is. Link: text
// that acts when clicked, drawn underlined. Panel: holds other controls. Shape:
// an outline drawn on its parent; Rule: an etched line from (left, top), `width` long.
// ProgressBar: a bar filled from 0 to 100, or busy while the end is not known.
enum class ControlKind { Picture, Label, Value, List, Button, Tree, CheckBox, Link, Panel, Shape, Rule, ProgressBar };

// What a screen reader is told the control is; None for what it never meets.
enum class AccessibleRole {
    Graphic, StaticText, Table, PushButton, Tree, CheckBox, Link, Grouping, ProgressBar, None
};

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
    // The control this one stands for: a click on an option's text or a link's
    // icon is a click on it. Empty for none.
    const char* partner = "";
    // A font of the control's own: its size in points (0: the form's) and underline.
    double points = 0;
    bool underline = false;
    // A path loses its middle when it does not fit, so both of its ends show.
    bool path = false;
    // The panel that holds the control, whose rectangle its own is relative to; empty for the window.
    const char* parent = "";
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

    // The control named `name`; nullptr when the table holds none.
    constexpr const ControlDescription* find(std::string_view name) const
    {
        for (const ControlDescription& c : controls) {
            if (name == c.name)
                return &c;
        }
        return nullptr;
    }

    // The control named `name`; the table must hold it.
    constexpr const ControlDescription& control(std::string_view name) const
    {
        const ControlDescription* found = find(name);
        return found ? *found : controls.front();
    }
};

}  // namespace ombrix
