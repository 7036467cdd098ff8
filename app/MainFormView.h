#pragma once

#include <string>

#include "ViewLayout.h"

namespace ombrix {

// The widgets that show a frmMain. The state works without them: the
// command-line road never shows a window, and tests drive the state directly.
class MainFormView {
public:
    virtual ~MainFormView() = default;

    virtual void setWindowVisible(bool visible) = 0;
    // Shows the scan window, not modal, owned by the main window.
    virtual void showScanWindow() = 0;
    virtual void setScanWindowCaption(const std::string& caption) = 0;
    // The window's frame on the screen, for a program it starts to open over.
    virtual ViewLayout::Box frameBox() const = 0;
};

}  // namespace ombrix
