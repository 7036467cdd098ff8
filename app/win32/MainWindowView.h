#pragma once

#include "Win32.h"

#include <array>
#include <memory>
#include <string>
#include <unordered_map>

#include "Controls.h"
#include "MainForm.h"
#include "MainFormView.h"
#include "MainViewEvents.h"
#include "TreeMirror.h"

namespace ombrix {

class ScanView;
class frmMain;

// The main window on screen, and the owner of the scan window. It mirrors
// frmMain's control values and hands the user's actions to the window's events.
class MainWindowView final : public MainFormView {
public:
    explicit MainWindowView(frmMain& form);
    ~MainWindowView() override;
    MainWindowView(const MainWindowView&) = delete;
    MainWindowView& operator=(const MainWindowView&) = delete;

    // Brings every control up to the form's values: check boxes, labels and
    // tree entries added since the last call.
    void syncFromForm();

    HWND window() const { return window_; }

    void setWindowVisible(bool visible) override;
    void showScanWindow() override;
    void setScanWindowCaption(const std::string& caption) override;
    ViewLayout::Box frameBox() const override
    {
        RECT frame{};
        GetWindowRect(window_, &frame);
        return {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
    }

private:
    static void registerWindowClass();
    friend LRESULT CALLBACK Controls::viewWindowProc<MainWindowView>(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT treeNotification(const NMHDR& header);
    void command(int id, int code);

    void buildControls();
    HWND build(const ControlDescription& description);
    HFONT fontOf(const ControlDescription& description) const;
    static HBITMAP artwork(const ControlDescription& description);
    // The control `name` of the form's description.
    HWND control(const char* name) const;
    // The description of the control `window`; nullptr for a window not made from one.
    const ControlDescription* describe(HWND window) const;
    void syncScanAction();
    void syncTree();
    void drawLink(const DRAWITEMSTRUCT& item);
    void paintShapes();

    frmMain& form_;
    MainViewEvents events_{form_};
    HWND window_ = nullptr;
    HWND lastFocus_ = nullptr;
    HFONT boldFont_ = nullptr;
    HFONT regularFont_ = nullptr;
    HFONT linkFont_ = nullptr;
    std::array<HBITMAP, 6> pictures_{};
    std::size_t pictureCount_ = 0;
    // Every control made from the form's description, in its order; none for a shape.
    std::array<HWND, kMainControls.size()> controls_{};
    HWND tree_ = nullptr;
    std::unique_ptr<ScanView> scanView_;
    TreeMirror<HTREEITEM> mirror_;
    // True while the view itself changes the tree to match the form.
    bool syncing_ = false;
};

}  // namespace ombrix
