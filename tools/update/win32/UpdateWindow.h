#pragma once

#include "Win32.h"

#include <array>

#include "Controls.h"
#include "UpdateForm.h"
#include "Updater.h"
#include "frmUpdate.h"

namespace ombrix::update {

// "Ombrix Update" on the screen, built from kUpdateForm with the common
// controls. It shows a frmUpdate and forwards the button, Enter, Esc and the
// close box to it. The report calls come from the thread that runs the update
// and reach the window as posted messages.
class UpdateWindow final : public UpdateReport {
public:
    UpdateWindow();
    ~UpdateWindow() override;
    UpdateWindow(const UpdateWindow&) = delete;
    UpdateWindow& operator=(const UpdateWindow&) = delete;

    void step(const std::string& what) override;
    void progress(std::uint64_t done, std::uint64_t total) override;
    bool canceled() const override { return form_.canceled(); }
    // Shows the outcome; called on any thread.
    void finish(const Outcome& outcome);

    // Shows the window, centred on the window that started the updater, and
    // runs its messages until it has gone.
    void run();

private:
    friend LRESULT CALLBACK Controls::viewWindowProc<UpdateWindow>(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND control(UpdateControl control) const { return controls_[static_cast<std::size_t>(control)]; }
    void sync();
    void fitMessage();
    void goIf(bool goes);

    frmUpdate form_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    std::array<HWND, kUpdateControls.size()> controls_{};
    bool busyShown_ = false;
};

}  // namespace ombrix::update
