#pragma once

namespace ombrix {

// Makes screen readers see a top-level window built straight on QWidget (the
// main and the scan window) as a window rather than as an anonymous pane.
// Safe to call more than once.
void installWindowAccessibility();

}  // namespace ombrix
