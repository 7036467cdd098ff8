#pragma once

#include <array>
#include <cstddef>

#include "FormDescription.h"

namespace ombrix {

// The controls of "Ombrix Quarantine", in the order of kQuarantineControls.
enum class QuarantineControl { Image1, Label1, ListView1, Command1, Command2, Command3 };

inline constexpr std::array<ControlDescription, 6> kQuarantineControls = {{
    {"Image1", ControlKind::Picture, {120, 120, 10410, 375}, "banner", false, -1, "Ombrix", AccessibleRole::Graphic},
    // The status line: how much the quarantine holds, or that it is empty.
    {"Label1", ControlKind::Label, {120, 600, 8655, 255}, "", false, -1, "", AccessibleRole::StaticText},
    {"ListView1", ControlKind::List, {120, 960, 8655, 4815}, "", false, 0, "Quarantined files",
     AccessibleRole::Table},
    {"Command1", ControlKind::Button, {8895, 960, 1635, 495}, "Restore", true, 1, "Restore",
     AccessibleRole::PushButton},
    {"Command2", ControlKind::Button, {8895, 1560, 1635, 495}, "Delete", false, 2, "Delete",
     AccessibleRole::PushButton},
    {"Command3", ControlKind::Button, {8895, 2160, 1635, 495}, "Open Folder", false, 3, "Open Folder",
     AccessibleRole::PushButton},
}};

// The list's columns, in the order of QuarantineColumn.
enum class QuarantineColumn { Name, Folder, Threat, Date, Size };

inline constexpr std::array<ColumnDescription, 5> kQuarantineColumns = {{
    {"Name", 1800, false},
    {"Original Folder", 2460, false},
    {"Threat", 1605, false},
    {"Date", 1680, false},
    {"Size", 825, true},
}};

inline constexpr FormDescription kQuarantineForm{"Ombrix Quarantine", 10650, 5895, 8.25, kQuarantineControls};

constexpr const ControlDescription& describe(QuarantineControl control)
{
    return kQuarantineControls[static_cast<std::size_t>(control)];
}

}  // namespace ombrix
