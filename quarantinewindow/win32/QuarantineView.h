#pragma once

#include "Win32.h"

#include <array>
#include <cstdint>

#include "Controls.h"
#include "QuarantineForm.h"
#include "frmQuarantine.h"

namespace ombrix {

// "Ombrix Quarantine" on the screen, built from kQuarantineForm with the
// common controls. It shows a frmQuarantine and forwards the buttons, keys,
// header clicks, selection and menu to it; after each it shows the form again.
class QuarantineView final {
public:
    explicit QuarantineView(frmQuarantine& form);
    ~QuarantineView();
    QuarantineView(const QuarantineView&) = delete;
    QuarantineView& operator=(const QuarantineView&) = delete;

    HWND window() const { return window_; }
    // Reads the quarantine and shows the window, centred on the work area.
    void show();

private:
    static void registerWindowClass();
    friend LRESULT CALLBACK Controls::viewWindowProc<QuarantineView>(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT listNotification(const NMHDR& header);

    HWND build(const ControlDescription& description, QuarantineControl control);
    HWND control(QuarantineControl control) const { return controls_[static_cast<std::size_t>(control)]; }
    void sync();
    void syncList();
    void forwardSelection(const NMLISTVIEW& change);
    void popUpMenu(POINT screenPosition);
    void popUpMenuAtCurrentRow();

    frmQuarantine& form_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    HBITMAP banner_ = nullptr;
    HMENU menu_ = nullptr;
    std::array<HWND, kQuarantineControls.size()> controls_{};
    std::uint64_t shownGeneration_ = 0;
    // True while the view itself selects what the form holds as selected.
    bool applyingForm_ = false;
};

}  // namespace ombrix
