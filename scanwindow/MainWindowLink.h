#pragma once

#include <string>

namespace ombrix {

// The scan window's view of the main window, which implements it. The scan
// window brings it back after a run and reads the settings key path from it.
class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;

    // Shows the main window again, without owner and not modal.
    virtual void showMainWindow() = 0;

    // True once the main window has closed and will not come back (the program
    // is ending); nothing then shows it again.
    virtual bool closedForGood() const = 0;

    // Key path below HKEY_CURRENT_USER where every scan records its results.
    virtual std::string regpath() const = 0;
};

}  // namespace ombrix
