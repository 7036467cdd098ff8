#pragma once

#include "Win32.h"

#include <array>
#include <optional>
#include <unordered_map>

#include "Controls.h"
#include "Finding.h"
#include "FindingListMirror.h"
#include "FormDescription.h"
#include "ScanFormView.h"
#include "ScanViewEvents.h"
#include "ScanWindow.h"
#include "frmScan.h"

namespace ombrix {

// The scan window on the screen. It mirrors a frmScan, whose handlers do all
// the work: the view forwards the button, the close box, keys, the list's
// selection and mouse actions and the menu entries to it. A scan writes the form far
// more often than anyone can see, so the view catches up at most ~30 times a
// second.
class ScanView final : public ScanFormView {
public:
    // `owner` is the main window: the scan window stays above it and opens
    // centred on it.
    ScanView(frmScan& form, HWND owner);
    ~ScanView() override;
    ScanView(const ScanView&) = delete;
    ScanView& operator=(const ScanView&) = delete;

    HWND window() const { return window_; }
    // Shows the window afresh: design contents, centred on the owner.
    void show();
    void setCaption(const std::string& caption);

    void stateChanged() override;
    void processEvents() override;
    void hideWindow() override;
    void setScanRunning(bool running) override;

private:
    static void registerWindowClass();
    friend LRESULT CALLBACK Controls::viewWindowProc<ScanView>(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT listNotification(const NMHDR& header);

    void buildControls();
    // The window for one control of the form's description; none for a shape.
    HWND build(const ControlDescription& description, HWND parent);
    void sync();
    void syncList();
    // Shows row `index` afresh, or `added` as a new one.
    void showRow(std::size_t index, const Finding& finding, bool added);
    void fitResult();
    void forwardSelection(int item, UINT oldState, UINT newState);
    void rightReleased(int item);
    void menuKey();
    void popUpMenu(const std::optional<BadGuyMenu>& menu, POINT screenPosition);
    void centreOnOwner();

    frmScan& form_;
    ScanViewEvents events_{form_};
    HWND owner_;
    HWND window_ = nullptr;
    HWND lastFocus_ = nullptr;
    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    HBITMAP banner_ = nullptr;
    HBITMAP magnifier_ = nullptr;
    HICON icon_ = nullptr;
    HWND frame1_ = nullptr;
    std::array<HWND, 7> labels_{};
    HWND command1_ = nullptr;
    HWND listView1_ = nullptr;
    HMENU badguymenu_ = nullptr;
    // The form's name of each control made from it.
    std::unordered_map<HWND, const char*> names_;
    bool syncPending_ = false;
    FindingListMirror mirror_;
};

}  // namespace ombrix
