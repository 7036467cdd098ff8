#include "UpdateWindow.h"

#include <memory>

#include "AccessibleControl.h"
#include "Artwork.h"
#include "MessagePump.h"
#include "OwnerBox.h"
#include "Twips.h"

namespace ombrix::update {

namespace {

constexpr const char* kWindowClass = "OmbrixUpdate";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

// Controls are numbered from here in the order of kUpdateControls; 1 and 2 are
// the dialog keys' IDOK and IDCANCEL.
constexpr int kFirstControl = 100;
// The update's reports, posted from its thread; lParam owns what they carry.
constexpr UINT kStep = WM_APP;
constexpr UINT kProgress = WM_APP + 1;
constexpr UINT kFinish = WM_APP + 2;

struct Progress {
    std::uint64_t done;
    std::uint64_t total;
};

int idOf(UpdateControl control)
{
    return kFirstControl + static_cast<int>(control);
}

template <class Report>
void post(HWND window, UINT message, Report report)
{
    PostMessageA(window, message, 0, reinterpret_cast<LPARAM>(new Report(std::move(report))));
}

template <class Report>
std::unique_ptr<Report> received(LPARAM lParam)
{
    return std::unique_ptr<Report>(reinterpret_cast<Report*>(lParam));
}

}  // namespace

UpdateWindow::UpdateWindow()
{
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    Controls::registerViewClass<UpdateWindow>(kWindowClass, [](int) { return Artwork::magnifierIcon(); });
    const SIZE size = outerSizeForClient(kUpdateForm.clientWidth, kUpdateForm.clientHeight, kStyle, kExStyle);
    window_ = CreateWindowExA(kExStyle, kWindowClass, kUpdateForm.title, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              size.cx, size.cy, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    font_ = Controls::arial(kUpdateForm.fontPoints, false);
    for (std::size_t i = 0; i < kUpdateControls.size(); ++i) {
        const ControlDescription& c = kUpdateControls[i];
        const TwipsRect& at = c.rect;
        const int id = kFirstControl + static_cast<int>(i);
        const DWORD tabStop = c.tabIndex >= 0 ? WS_TABSTOP : 0;
        switch (c.kind) {
        case ControlKind::Button:
            controls_[i] = Controls::child("BUTTON", c.text, BS_PUSHBUTTON | tabStop, window_, id, font_, at.left,
                                           at.top, at.width, at.height);
            break;
        case ControlKind::ProgressBar:
            // A bar shows no text of its own: its window text is its name for screen readers.
            controls_[i] = Controls::child(PROGRESS_CLASSA, c.accessibleName, 0, window_, id, nullptr, at.left, at.top,
                                           at.width, at.height);
            break;
        default:  // the message
            controls_[i] = Controls::label(window_, id, c.text, font_, at.left, at.top, at.width, at.height);
            break;
        }
        AccessibleControl::describe(controls_[i], c);
    }
    sync();
}

UpdateWindow::~UpdateWindow()
{
    if (IsWindow(window_))
        DestroyWindow(window_);
    DeleteObject(font_);
}

void UpdateWindow::step(const std::string& what)
{
    post(window_, kStep, what);
}

void UpdateWindow::progress(std::uint64_t done, std::uint64_t total)
{
    post(window_, kProgress, Progress{done, total});
}

void UpdateWindow::finish(const Outcome& outcome)
{
    post(window_, kFinish, outcome);
}

void UpdateWindow::run()
{
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT own;
    GetWindowRect(window_, &own);
    const std::optional<ViewLayout::Box> owner = OwnerBox::Given();
    const ViewLayout::Place place =
        ViewLayout::CentredOn(owner ? &*owner : nullptr, own.right - own.left, own.bottom - own.top,
                              {area.left, area.top, area.right - area.left, area.bottom - area.top});
    SetWindowPos(window_, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(control(UpdateControl::Command1));
    MessagePump::run();
}

void UpdateWindow::sync()
{
    Controls::setText(control(UpdateControl::Label1), form_.message());
    fitMessage();
    HWND bar = control(UpdateControl::ProgressBar1);
    ShowWindow(bar, form_.barShown() ? SW_SHOWNA : SW_HIDE);
    if (form_.barBusy() != busyShown_) {
        busyShown_ = form_.barBusy();
        const LONG_PTR style = GetWindowLongPtrA(bar, GWL_STYLE);
        SetWindowLongPtrA(bar, GWL_STYLE, busyShown_ ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
        SendMessageA(bar, PBM_SETMARQUEE, busyShown_, 0);
    }
    SendMessageA(bar, PBM_SETRANGE32, 0, 100);
    SendMessageA(bar, PBM_SETPOS, form_.barValue(), 0);
    HWND button = control(UpdateControl::Command1);
    Controls::setText(button, form_.buttonText());
    const bool hadFocus = GetFocus() == button;
    EnableWindow(button, form_.buttonEnabled());
    if (hadFocus && !form_.buttonEnabled())
        SetFocus(window_);
}

// The window grows downwards until the whole message shows, however long.
void UpdateWindow::fitMessage()
{
    HWND label = control(UpdateControl::Label1);
    const TwipsRect& design = describe(UpdateControl::Label1).rect;
    RECT needed{0, 0, px(design.width), 0};
    HDC dc = GetDC(label);
    HGDIOBJ previous = SelectObject(dc, font_);
    const std::string text = form_.message();
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    const int growth = MessageGrowth(needed.bottom, px(design.height));
    for (std::size_t i = 0; i < kUpdateControls.size(); ++i) {
        const TwipsRect& at = kUpdateControls[i].rect;
        const bool message = static_cast<UpdateControl>(i) == UpdateControl::Label1;
        MoveWindow(controls_[i], px(at.left), px(at.top) + (message ? 0 : growth), px(at.width),
                   px(at.height) + (message ? growth : 0), TRUE);
    }
    RECT frame{0, 0, px(kUpdateForm.clientWidth), px(kUpdateForm.clientHeight) + growth};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void UpdateWindow::goIf(bool goes)
{
    sync();
    if (goes)
        DestroyWindow(window_);
}

LRESULT UpdateWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kStep:
        form_.step(*received<std::string>(lParam));
        sync();
        return 0;
    case kProgress: {
        const auto report = received<Progress>(lParam);
        form_.progress(report->done, report->total);
        sync();
        return 0;
    }
    case kFinish: {
        const bool goes = form_.finish(*received<Outcome>(lParam));
        goIf(goes);
        if (!goes)
            SetFocus(control(UpdateControl::Command1));
        return 0;
    }
    case WM_COMMAND:
        // The dialog manager turns Enter into IDOK and Esc into IDCANCEL.
        if (LOWORD(wParam) == IDOK)
            goIf(form_.keyPressed(frmUpdate::Key::Enter));
        else if (LOWORD(wParam) == IDCANCEL)
            goIf(form_.keyPressed(frmUpdate::Key::Escape));
        else if (LOWORD(wParam) == idOf(UpdateControl::Command1) && HIWORD(wParam) == BN_CLICKED)
            goIf(form_.Command1_Click());
        return 0;
    case WM_CLOSE:
        goIf(form_.closeRequested());
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

}  // namespace ombrix::update
