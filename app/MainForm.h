#pragma once

#include <array>

#include "FormDescription.h"

namespace ombrix {

// "Varno Ombrix", the main window, as its form file lays it out. Its font is
// bold; the few regular controls say so.
inline constexpr std::array<ControlDescription, 24> kMainControls = {{
    {"TreeView1", ControlKind::Tree, {120, 120, 3375, 5535}, "", true, 0, "Drives and folders", AccessibleRole::Tree},
    {"Shape1", ControlKind::Shape, {3600, 120, 5250, 3015}, "", false, -1, "", AccessibleRole::None},
    {"Image1", ControlKind::Picture, {3600, 120, 5250, 375}, "headerStrip", false, -1, "Options",
     AccessibleRole::Graphic},
    {"Image5", ControlKind::Picture, {7275, 120, 1560, 1515}, "optionsArt", false, -1,
     "Documents under a magnifying glass", AccessibleRole::Graphic},
    {"Check1", ControlKind::CheckBox, {3840, 720, 200, 210}, "", true, 1, "Scan subfolders",
     AccessibleRole::CheckBox},
    {"Label1", ControlKind::Label, {4080, 720, 4455, 255}, "Scan subfolders", true, -1, "",
     AccessibleRole::StaticText, "Check1"},
    {"Check2", ControlKind::CheckBox, {3840, 1080, 200, 210}, "", true, 2, "Scan all Files",
     AccessibleRole::CheckBox},
    {"Label2", ControlKind::Label, {4080, 1080, 4455, 255}, "Scan all Files", true, -1, "",
     AccessibleRole::StaticText, "Check2"},
    {"Label3", ControlKind::Label, {4080, 1320, 4695, 255}, "Scan everything, not just documents.", false, -1, "",
     AccessibleRole::StaticText, "Check2"},
    {"Check3", ControlKind::CheckBox, {3840, 1680, 200, 210}, "", true, 3, "Attempt to remove threats.",
     AccessibleRole::CheckBox},
    {"Label4", ControlKind::Label, {4080, 1680, 4455, 255}, "Attempt to remove threats.", true, -1, "",
     AccessibleRole::StaticText, "Check3"},
    {"Label5", ControlKind::Label, {4080, 1920, 4695, 255},
     "Clear this if you only want us to notify you of threats.", false, -1, "", AccessibleRole::StaticText,
     "Check3"},
    {"Label10", ControlKind::Label, {3840, 2400, 4815, 255}, "Scan Location:", true, -1, "",
     AccessibleRole::StaticText},
    {"Label11", ControlKind::Value, {3840, 2640, 4815, 255}, "", false, -1, "", AccessibleRole::StaticText, "", 0,
     false, true},
    {"Shape2", ControlKind::Shape, {3600, 3360, 5250, 1530}, "", false, -1, "", AccessibleRole::None},
    {"Image2", ControlKind::Picture, {3600, 3360, 5250, 375}, "headerStrip", false, -1, "Last scan",
     AccessibleRole::Graphic},
    {"Label7", ControlKind::Value, {3720, 3840, 4455, 255}, "Scan Date:", true, -1, "", AccessibleRole::StaticText},
    {"Label8", ControlKind::Value, {3720, 4200, 4455, 255}, "Files Scanned:", true, -1, "",
     AccessibleRole::StaticText},
    {"Label9", ControlKind::Value, {3720, 4560, 4455, 255}, "Files Infected:", true, -1, "",
     AccessibleRole::StaticText},
    {"Image4", ControlKind::Picture, {7410, 3480, 1425, 1395}, "statisticsArt", false, -1, "A shield over a bar chart",
     AccessibleRole::Graphic},
    {"Image3", ControlKind::Picture, {3840, 5160, 480, 480}, "scanIcon", false, -1, "Scan Now for Computer Threats",
     AccessibleRole::Link, "Label6"},
    {"Label6", ControlKind::Link, {4440, 5160, 1980, 480}, "Scan Now for Computer Threats", false, 4, "",
     AccessibleRole::Link, "", 9.75, true},
    {"Image6", ControlKind::Picture, {6600, 5160, 480, 480}, "updateIcon", false, -1, "Check for Updates",
     AccessibleRole::Link, "Label12"},
    {"Label12", ControlKind::Link, {7200, 5280, 1620, 360}, "Check for Updates", false, 5, "",
     AccessibleRole::Link, "", 9.75, true},
}};

inline constexpr FormDescription kMainForm{"Varno Ombrix", 8955, 5835, 8.25, kMainControls};

}  // namespace ombrix
