#include "VarnoButton/VarnoButtonWindow.h"

#include "VarnoButton/GdiSurface.h"
#include "VarnoButton/PictureWindow.h"
#include "VarnoButton/Utf8.h"

#include <VarnoButton/KeyCodes.h>
#include <VarnoButton/Twips.h>

#include <cmath>

namespace ombrix {

namespace {

int16_t shiftBits()
{
    return int16_t((GetKeyState(VK_SHIFT) < 0 ? ShiftBit::Shift : 0) | (GetKeyState(VK_CONTROL) < 0 ? ShiftBit::Ctrl : 0)
                   | (GetKeyState(VK_MENU) < 0 ? ShiftBit::Alt : 0));
}

int16_t heldButtons(WPARAM keys)
{
    return int16_t((keys & MK_LBUTTON ? MouseBit::Left : 0) | (keys & MK_RBUTTON ? MouseBit::Right : 0)
                   | (keys & MK_MBUTTON ? MouseBit::Middle : 0));
}

int16_t buttonOf(UINT message)
{
    switch (message) {
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return MouseBit::Right;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return MouseBit::Middle;
    default: return MouseBit::Left;
    }
}

// A character's code in the system's 8-bit code page; 63, "?", when it has none.
int16_t ansiCode(wchar_t character)
{
    char byte = 0;
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, 0, &character, 1, &byte, 1, nullptr, &lossy);
    return length == 1 && !lossy ? int16_t(static_cast<unsigned char>(byte)) : int16_t('?');
}

FontChoice specOf(HFONT font, double scale)
{
    LOGFONTW log{};
    if (!font || !GetObjectW(font, sizeof log, &log))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof log, &log);
    return {toUtf8(log.lfFaceName), float(std::abs(log.lfHeight) * 72.0 / (96.0 * scale)), log.lfWeight >= FW_BOLD,
            log.lfItalic != 0, log.lfUnderline != 0, log.lfStrikeOut != 0};
}

}  // namespace

LRESULT CALLBACK VarnoButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* button = new VarnoButtonWindow(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(button));
    }
    auto* button = reinterpret_cast<VarnoButtonWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!button)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete button;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return button->handle(message, wParam, lParam);
}

bool RegisterVarnoButton(HINSTANCE instance)
{
    WNDCLASSW windowClass{};
    if (GetClassInfoW(instance, kVarnoButtonClass, &windowClass))
        return true;
    windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = VarnoButtonProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kVarnoButtonClass;
    return RegisterClassW(&windowClass) != 0;
}

VarnoButtonWindow* VarnoButtonWindow::from(HWND window)
{
    wchar_t name[32] = {};
    if (!window || !GetClassNameW(window, name, 32) || std::wstring(name) != kVarnoButtonClass)
        return nullptr;
    return reinterpret_cast<VarnoButtonWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

VarnoButtonWindow::VarnoButtonWindow(HWND window)
    : window_(window)
    , surface_(std::make_unique<GdiSurface>(window))
{
}

VarnoButtonWindow::~VarnoButtonWindow()
{
    if (hfont_)
        DeleteObject(hfont_);
}

void VarnoButtonWindow::setPropertyChangedHandler(std::function<void(const std::string&)> handler)
{
    propertyChanged_ = std::move(handler);
}

LRESULT VarnoButtonWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Before WM_CREATE there is no button yet.
    if (!core_ && message != WM_CREATE)
        return DefWindowProcW(window_, message, wParam, lParam);
    switch (message) {
    case WM_CREATE: {
        picture1_ = std::make_unique<PictureWindow>(*this, surface_->scale());
        core_ = std::make_unique<VarnoButtonCore>(static_cast<ControlHost&>(*this), *surface_, *picture1_);
        core_->InitProperties();
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (create->lpszName && *create->lpszName)
            core_->setCaption(toUtf8(create->lpszName));
        return 0;
    }
    case WM_SIZE:
        if (core_) {
            core_->UserControl_Resize();
            core_->UserControl_Paint();
        }
        return 0;
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT:
        core_->setCaption(toUtf8(reinterpret_cast<const wchar_t*>(lParam)));
        return TRUE;
    case WM_GETTEXTLENGTH:
        return LRESULT(toWide(core_->Caption()).size());
    case WM_GETTEXT: {
        const std::wstring text = toWide(core_->Caption());
        if (wParam == 0)
            return 0;
        const size_t length = std::min(text.size(), size_t(wParam) - 1);
        text.copy(reinterpret_cast<wchar_t*>(lParam), length);
        reinterpret_cast<wchar_t*>(lParam)[length] = L'\0';
        return LRESULT(length);
    }
    case WM_SETFONT:
        core_->setFont(specOf(HFONT(wParam), surface_->scale()));
        if (LOWORD(lParam))
            core_->Refresh();
        return 0;
    case WM_GETFONT:
        return LRESULT(hfont_);
    case WM_ENABLE:
        if (!settingEnabled_)
            PropertyChanged("Enabled");
        core_->UserControl_Paint();
        return 0;
    case WM_SYSCOLORCHANGE:
        core_->UserControl_Paint();
        return 0;
    case WM_SETFOCUS:
        core_->UserControl_GotFocus();
        return 0;
    case WM_KILLFOCUS:
        core_->UserControl_LostFocus();
        return 0;
    case WM_GETDLGCODE: {
        // Enter is the focused button's, not the dialog's default button's.
        const auto* pending = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DLGC_BUTTON | DLGC_WANTCHARS;
        if (pending && pending->wParam == VK_RETURN
            && (pending->message == WM_KEYDOWN || pending->message == WM_KEYUP || pending->message == WM_CHAR))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case BM_CLICK:
        SetFocus(window_);
        core_->UserControl_Click();
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        key(message, wParam);
        // Alt and F10 still reach the menu; Enter and Space stop here.
        if ((message == WM_SYSKEYDOWN || message == WM_SYSKEYUP) && !VarnoButtonCore::pressesButton(int16_t(wParam)))
            return DefWindowProcW(window_, message, wParam, lParam);
        return 0;
    case WM_CHAR:
        core_->UserControl_KeyPress(ansiCode(wchar_t(wParam)));
        return 0;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
        mouse(message, wParam, short(LOWORD(lParam)), short(HIWORD(lParam)), false);
        return 0;
    case WM_CAPTURECHANGED:
        clickPending_ = false;
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void VarnoButtonWindow::key(UINT message, WPARAM wParam)
{
    const int16_t keyCode = int16_t(wParam);
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        core_->UserControl_KeyDown(keyCode, shiftBits());
    else
        core_->UserControl_KeyUp(keyCode, shiftBits());
}

// A press captures the mouse for the window it hit; its release over that
// window is a click. The second press of a double click reports DblClick and
// its release makes no click.
void VarnoButtonWindow::mouse(UINT message, WPARAM wParam, int x, int y, bool onPicture)
{
    VarnoButtonCore& core = *core_;
    const HWND receiver = onPicture ? picture1_->window() : window_;
    const float tx = float(x * kTwipsPerPixel / surface_->scale());
    const float ty = float(y * kTwipsPerPixel / surface_->scale());
    const int16_t shift = shiftBits();
    const auto down = [&](int16_t button) {
        SetFocus(window_);
        SetCapture(receiver);
        if (onPicture)
            core.Picture1_MouseDown(button, shift, tx, ty);
        else
            core.UserControl_MouseDown(button, shift, tx, ty);
    };
    switch (message) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        down(buttonOf(message));
        clickPending_ = true;
        break;
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
        down(buttonOf(message));
        clickPending_ = false;
        core.UserControl_DblClick();
        break;
    case WM_MOUSEMOVE:
        if (onPicture)
            core.Picture1_MouseMove(heldButtons(wParam), shift, tx, ty);
        else
            core.UserControl_MouseMove(heldButtons(wParam), shift, tx, ty);
        break;
    default: {
        RECT client{};
        GetClientRect(receiver, &client);
        const POINT at{x, y};
        const bool click = clickPending_ && PtInRect(&client, at);
        clickPending_ = false;
        if (GetCapture() == receiver)
            ReleaseCapture();
        if (onPicture)
            core.Picture1_MouseUp(buttonOf(message), shift, tx, ty);
        else
            core.UserControl_MouseUp(buttonOf(message), shift, tx, ty);
        if (click)
            core.UserControl_Click();
        break;
    }
    }
}

void VarnoButtonWindow::paint()
{
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window_, &paint);
    if (surface_->width() > 0)
        BitBlt(dc, 0, 0, surface_->width(), surface_->height(), surface_->dc(), 0, 0, SRCCOPY);
    EndPaint(window_, &paint);
}

float VarnoButtonWindow::ScaleWidth() const
{
    RECT client{};
    GetClientRect(window_, &client);
    return float(client.right * kTwipsPerPixel / surface_->scale());
}

float VarnoButtonWindow::ScaleHeight() const
{
    RECT client{};
    GetClientRect(window_, &client);
    return float(client.bottom * kTwipsPerPixel / surface_->scale());
}

bool VarnoButtonWindow::Enabled() const
{
    return (GetWindowLongW(window_, GWL_STYLE) & WS_DISABLED) == 0;
}

void VarnoButtonWindow::setEnabled(bool enabled)
{
    settingEnabled_ = true;
    EnableWindow(window_, enabled);
    settingEnabled_ = false;
}

// Windows gives a window of a disabled parent no input either.
bool VarnoButtonWindow::takesInput() const
{
    for (HWND window = window_; window; window = GetAncestor(window, GA_PARENT)) {
        if (!IsWindowEnabled(window))
            return false;
        if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
            break;
    }
    return true;
}

void VarnoButtonWindow::setFont(const FontChoice& font)
{
    font_ = font;
    applyFont();
}

void VarnoButtonWindow::applyFont()
{
    LOGFONTW log{};
    const std::wstring name = toWide(font_.name);
    name.copy(log.lfFaceName, LF_FACESIZE - 1);
    log.lfHeight = -LONG(std::lround(font_.points * 96.0 * surface_->scale() / 72.0));
    log.lfWeight = font_.bold ? FW_BOLD : FW_NORMAL;
    log.lfItalic = font_.italic;
    log.lfUnderline = font_.underline;
    log.lfStrikeOut = font_.strikethrough;
    log.lfCharSet = DEFAULT_CHARSET;
    log.lfQuality = CLEARTYPE_QUALITY;
    const HFONT old = hfont_;
    hfont_ = CreateFontIndirectW(&log);
    surface_->setFont(hfont_);
    if (old)
        DeleteObject(old);
}

FontChoice VarnoButtonWindow::ambientFont() const
{
    const HWND parent = GetParent(window_);
    return specOf(parent ? HFONT(SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr, surface_->scale());
}

void VarnoButtonWindow::PropertyChanged(const std::string& name)
{
    if (propertyChanged_)
        propertyChanged_(name);
}

void VarnoButtonWindow::present()
{
    InvalidateRect(window_, nullptr, FALSE);
}

void VarnoButtonWindow::Click()
{
    SendMessageW(GetParent(window_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window_), BN_CLICKED), LPARAM(window_));
}

void VarnoButtonWindow::DblClick()
{
    SendMessageW(GetParent(window_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window_), BN_DOUBLECLICKED),
                 LPARAM(window_));
}

}  // namespace ombrix
