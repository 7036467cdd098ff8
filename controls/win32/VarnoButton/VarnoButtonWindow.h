#pragma once

#include <VarnoButton/VarnoButtonCore.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace ombrix {

class GdiSurface;
class PictureWindow;

// VarnoButton as a Win32 window class, created like any common control:
//
//   RegisterVarnoButton(instance);
//   HWND ok = CreateWindowW(L"VarnoButton", L"&Save", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
//                           x, y, width, height, parent, HMENU(id), instance, nullptr);
//
// A new window has run InitProperties() with its parent's font (WM_GETFONT)
// and takes its window text as the caption. Its properties, Refresh and
// persistence are those of VarnoButtonWindow::from(ok)->button(); WM_SETTEXT,
// WM_GETTEXT, WM_SETFONT, WM_GETFONT and EnableWindow() act as Caption, Font
// and Enabled. The events reach the handler set with button().setEventHandler()
// and, as for a BS_NOTIFY push button, the parent gets WM_COMMAND with
// BN_CLICKED for every Click and BN_DOUBLECLICKED for every DblClick. In a
// dialog Enter and Space press the focused button, and Alt with the letter
// after "&" clicks it.
inline constexpr wchar_t kVarnoButtonClass[] = L"VarnoButton";

// Registers the window class once per process; false when Windows refuses.
bool RegisterVarnoButton(HINSTANCE instance);

class VarnoButtonWindow final : private ControlHost {
public:
    // The button of a VarnoButton window; nullptr for any other window.
    static VarnoButtonWindow* from(HWND window);

    VarnoButtonCore& button() { return *core_; }
    HWND window() const { return window_; }
    // Called with the persisted name of each property that changes, so the
    // holder knows to save; none by default.
    void setPropertyChangedHandler(std::function<void(const std::string&)> handler);

    ~VarnoButtonWindow() override;

private:
    friend LRESULT CALLBACK VarnoButtonProc(HWND, UINT, WPARAM, LPARAM);
    friend class PictureWindow;

    explicit VarnoButtonWindow(HWND window);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    // A mouse message on the button or on Picture1, at client pixels x, y of
    // the window that got it.
    void mouse(UINT message, WPARAM wParam, int x, int y, bool onPicture);
    void key(UINT message, WPARAM wParam);
    void paint();
    void applyFont();

    // ControlHost.
    float ScaleWidth() const override;
    float ScaleHeight() const override;
    bool Enabled() const override;
    void setEnabled(bool enabled) override;
    bool takesInput() const override;
    FontChoice font() const override { return font_; }
    void setFont(const FontChoice& font) override;
    FontChoice ambientFont() const override;
    void PropertyChanged(const std::string& name) override;
    void present() override;
    void Click() override;
    void DblClick() override;

    HWND window_;
    std::unique_ptr<GdiSurface> surface_;
    std::unique_ptr<PictureWindow> picture1_;
    std::unique_ptr<VarnoButtonCore> core_;
    std::function<void(const std::string&)> propertyChanged_;
    FontChoice font_;
    HFONT hfont_ = nullptr;
    // A press whose release over the same window is a click.
    bool clickPending_ = false;
    // While Enabled() is set by the core, WM_ENABLE is its own doing.
    bool settingEnabled_ = false;
};

}  // namespace ombrix
