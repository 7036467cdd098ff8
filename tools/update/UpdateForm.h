#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

#include "FormDescription.h"

namespace ombrix::update {

// The controls of "Ombrix Update", in the order of kUpdateControls.
enum class UpdateControl { Label1, ProgressBar1, Command1 };

// "Ombrix Update", the window of an update started from the desktop: what is
// happening or how it ended, a progress bar, and Cancel (later Close).
inline constexpr std::array<ControlDescription, 3> kUpdateControls = {{
    {"Label1", ControlKind::Label, {120, 120, 5415, 735}, "Starting the update...", false, -1, "",
     AccessibleRole::StaticText},
    {"ProgressBar1", ControlKind::ProgressBar, {120, 975, 5415, 255}, "", false, -1, "Update progress",
     AccessibleRole::ProgressBar},
    {"Command1", ControlKind::Button, {4095, 1350, 1440, 375}, "Cancel", false, 0, "", AccessibleRole::PushButton},
}};

inline constexpr FormDescription kUpdateForm{"Ombrix Update", 5655, 1845, 8.25, kUpdateControls};

constexpr const ControlDescription& describe(UpdateControl control)
{
    return kUpdateControls[static_cast<std::size_t>(control)];
}

// How far, in the view's pixels, the bar, the button and the window's foot move
// down so that a message of `textHeight` shows whole in a label `designHeight` high.
constexpr int MessageGrowth(int textHeight, int designHeight)
{
    return std::max(0, textHeight - designHeight);
}

}  // namespace ombrix::update
