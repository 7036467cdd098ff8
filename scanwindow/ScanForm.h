#pragma once

#include <array>

#include "FormDescription.h"

namespace ombrix {

// "Varno Ombrix", the scan window, as its form file lays it out. A label's text
// is its design text; the run replaces it.
inline constexpr std::array<ControlDescription, 17> kScanControls = {{
    {"Frame1", ControlKind::Panel, {120, 120, 6975, 2895}, "", false, -1, "Progress", AccessibleRole::Grouping},
    {"Image2", ControlKind::Picture, {0, 0, 7050, 375}, "banner", false, -1, "Ombrix", AccessibleRole::Graphic, "", 0,
     false, false, "Frame1"},
    {"Label6", ControlKind::Label, {120, 480, 1335, 255}, "Current Item:", true, -1, "", AccessibleRole::StaticText,
     "", 0, false, false, "Frame1"},
    {"Label7", ControlKind::Value, {120, 720, 6615, 255}, "Current: 0", false, -1, "", AccessibleRole::StaticText, "",
     0, false, true, "Frame1"},
    {"Label4", ControlKind::Label, {1560, 1080, 5295, 255}, "Scanning for xxxx items.", false, -1, "",
     AccessibleRole::StaticText, "", 0, false, false, "Frame1"},
    {"Line1(0)", ControlKind::Rule, {120, 1920, 6720, 0}, "", false, -1, "", AccessibleRole::None, "", 0, false, false,
     "Frame1"},
    {"Line1(1)", ControlKind::Rule, {120, 2400, 6720, 0}, "", false, -1, "", AccessibleRole::None, "", 0, false, false,
     "Frame1"},
    {"Line1(2)", ControlKind::Rule, {0, 1440, 6960, 0}, "", false, -1, "", AccessibleRole::None, "", 0, false, false,
     "Frame1"},
    {"Label2", ControlKind::Label, {240, 1560, 1575, 255}, "Dirs:  0", false, -1, "", AccessibleRole::StaticText, "",
     0, false, false, "Frame1"},
    {"Label3", ControlKind::Label, {2520, 1560, 2895, 255}, "Files:  0", false, -1, "", AccessibleRole::StaticText, "",
     0, false, false, "Frame1"},
    {"Label5", ControlKind::Label, {240, 2040, 2895, 255}, "Detected:  0", false, -1, "", AccessibleRole::StaticText,
     "", 0, false, false, "Frame1"},
    {"Label1", ControlKind::Label, {240, 2520, 2895, 255}, "Fixed:  0", false, -1, "", AccessibleRole::StaticText, "",
     0, false, false, "Frame1"},
    {"Command1", ControlKind::Button, {7320, 120, 1695, 495}, "Cancel", true, 0, "", AccessibleRole::PushButton},
    {"Frame2", ControlKind::Panel, {120, 3120, 8895, 2655}, "", false, -1, "Findings", AccessibleRole::Grouping},
    {"ListView1", ControlKind::List, {120, 120, 8655, 2415}, "", false, 1, "Findings", AccessibleRole::Table, "", 0,
     false, false, "Frame2"},
    {"Shape3", ControlKind::Shape, {0, 0, 8895, 2655}, "", false, -1, "", AccessibleRole::None, "", 0, false, false,
     "Frame2"},
    {"Image1", ControlKind::Picture, {9000, 120, 240, 240}, "magnifier", false, -1, "Magnifying glass",
     AccessibleRole::Graphic},
}};

inline constexpr FormDescription kScanForm{"Varno Ombrix", 9150, 5925, 8.25, kScanControls};

}  // namespace ombrix
