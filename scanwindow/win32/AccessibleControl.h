#pragma once

#include "Win32.h"

#include "FormDescription.h"

namespace ombrix::AccessibleControl {

// Tells screen readers what `control` is: the name and role its description
// gives, answered through WM_GETOBJECT. A description without a name of its own
// names the control by its text at the moment it is asked, as a label's text
// changes; the rest (state, place, children) is the system's standard answer
// where it has one.
void describe(HWND control, const ControlDescription& description);

}  // namespace ombrix::AccessibleControl
