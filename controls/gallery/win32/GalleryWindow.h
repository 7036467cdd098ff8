#pragma once

#include <VarnoButton/VarnoButtonWindow.h>

#include <memory>
#include <string>
#include <vector>

namespace ombrix {

// Every style, border style, alignment and behaviour of VarnoButton side by
// side, with a log of the events the buttons raise.
class GalleryWindow final {
public:
    // Creates the window, shown; the first raised gradient button has the focus.
    GalleryWindow(HINSTANCE instance, int show);
    ~GalleryWindow();

    HWND window() const { return window_; }
    // Appends a line to the event log.
    void log(const std::string& line);

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    VarnoButtonCore& addButton(int x, int y, int width, int height, const std::string& name);
    void build();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HWND log_ = nullptr;
    HFONT font_ = nullptr;
    HWND firstFocus_ = nullptr;
    std::vector<std::unique_ptr<VarnoButtonEvents>> loggers_;
};

}  // namespace ombrix
