#pragma once

namespace ombrix {

// The widgets that show a frmScan. The state works without one: tests drive it
// directly, and a silent run never shows its window.
class ScanFormView {
public:
    virtual ~ScanFormView() = default;

    // Something the window shows has changed; it may reach the screen later.
    virtual void stateChanged() = 0;
    // The walk's yield, once per folder: pending user actions run now.
    virtual void processEvents() = 0;
    // The window unloads and leaves the screen.
    virtual void hideWindow() = 0;
    // A scan starts (true) or has ended (false). The program must not end in
    // between, even when no window is left on the screen for a while.
    virtual void setScanRunning(bool running) = 0;
};

}  // namespace ombrix
