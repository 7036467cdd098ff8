#include "GalleryWindow.h"

#include "../GalleryFaces.h"

#include <VarnoButton/Utf8.h>

#include <iterator>
#include <sstream>

namespace ombrix {

namespace {

constexpr wchar_t kGalleryClass[] = L"VarnoButtonGallery";

using gallery::Border;
using gallery::Face;
using gallery::kBorders;
using gallery::kFaces;
using gallery::kWhite;

// Writes every event of one button into the gallery's log, with its name.
class EventLogger final : public VarnoButtonEvents {
public:
    EventLogger(GalleryWindow& gallery, std::string source)
        : gallery_(gallery)
        , source_(std::move(source))
    {
    }

    void Click() override { add("Click"); }
    void DblClick() override { add("DblClick"); }
    void KeyDown(int16_t& k, int16_t& s) override { add("KeyDown KeyCode=" + std::to_string(k) + " Shift=" + std::to_string(s)); }
    void KeyPress(int16_t& k) override { add("KeyPress KeyAscii=" + std::to_string(k)); }
    void KeyUp(int16_t& k, int16_t& s) override { add("KeyUp KeyCode=" + std::to_string(k) + " Shift=" + std::to_string(s)); }
    void MouseDown(int16_t& b, int16_t& s, float& x, float& y) override { mouse("MouseDown", b, s, x, y); }
    void MouseUp(int16_t& b, int16_t& s, float& x, float& y) override { mouse("MouseUp", b, s, x, y); }

private:
    void add(const std::string& event) { gallery_.log(source_ + ": " + event); }
    void mouse(const char* event, int16_t b, int16_t s, float x, float y)
    {
        std::ostringstream line;
        line << event << " Button=" << b << " Shift=" << s << " X=" << x << " Y=" << y;
        add(line.str());
    }

    GalleryWindow& gallery_;
    std::string source_;
};

constexpr int kCell = 112, kRow = 34, kLeft = 70, kTop = 28;

void label(HWND parent, HINSTANCE instance, HFONT font, const std::string& text, int x, int y, int width)
{
    const HWND window = CreateWindowExW(0, L"STATIC", toWide(text).c_str(), WS_CHILD | WS_VISIBLE, x, y, width, 20,
                                        parent, nullptr, instance, nullptr);
    SendMessageW(window, WM_SETFONT, WPARAM(font), FALSE);
}

}  // namespace

GalleryWindow::GalleryWindow(HINSTANCE instance, int show)
    : instance_(instance)
{
    RegisterVarnoButton(instance);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kGalleryClass;
    RegisterClassW(&windowClass);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);

    window_ = CreateWindowExW(0, kGalleryClass, L"VarnoButton gallery", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                              CW_USEDEFAULT, CW_USEDEFAULT, 980, 420, nullptr, nullptr, instance, this);
    build();
    ShowWindow(window_, show);
    SetFocus(firstFocus_);
}

GalleryWindow::~GalleryWindow()
{
    DestroyWindow(window_);
    DeleteObject(font_);
}

void GalleryWindow::log(const std::string& line)
{
    const std::wstring text = toWide(line + "\r\n");
    const int end = GetWindowTextLengthW(log_);
    SendMessageW(log_, EM_SETSEL, end, end);
    SendMessageW(log_, EM_REPLACESEL, FALSE, LPARAM(text.c_str()));
}

VarnoButtonCore& GalleryWindow::addButton(int x, int y, int width, int height, const std::string& name)
{
    const HWND window = CreateWindowExW(0, kVarnoButtonClass, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y,
                                        width, height, window_, nullptr, instance_, nullptr);
    VarnoButtonCore& button = VarnoButtonWindow::from(window)->button();
    loggers_.push_back(std::make_unique<EventLogger>(*this, name));
    button.setEventHandler(loggers_.back().get());
    return button;
}

void GalleryWindow::build()
{
    label(window_, instance_, font_, "Faces and borders (Style, BorderStyle)", 10, 6, 400);
    for (int column = 0; column < int(std::size(kBorders)); ++column)
        label(window_, instance_, font_, std::to_string(kBorders[column].borderStyle) + " " + kBorders[column].name,
              kLeft + column * kCell + 30, kTop, 90);
    for (int row = 0; row < int(std::size(kFaces)); ++row) {
        const Face& face = kFaces[row];
        const int y = kTop + 22 + row * kRow;
        label(window_, instance_, font_, face.name, 10, y + 6, 56);
        for (int column = 0; column < int(std::size(kBorders)); ++column) {
            const Border& border = kBorders[column];
            VarnoButtonCore& button =
                addButton(kLeft + column * kCell, y, kCell - 8, kRow - 6, std::string(face.name) + " " + border.name);
            button.setCaption(border.name);
            button.setTextAlign(2);
            button.setStyle(face.style);
            button.setBackColor(face.backColor);
            button.setFadetoColor(face.fadetoColor);
            button.setBorderStyle(border.borderStyle);
        }
    }
    // The focus starts on Sky Raised, the sixth button, to show its cue.
    for (int i = 0; i < 6; ++i)
        firstFocus_ = FindWindowExW(window_, firstFocus_, kVarnoButtonClass, nullptr);

    const int y = kTop + 30 + 4 * kRow;
    label(window_, instance_, font_, "Alignment and behaviour", 10, y, 400);
    const char* const textNames[] = {"Left", "Right", "Centred"};
    for (int32_t align = 0; align < 3; ++align) {
        VarnoButtonCore& button = addButton(kLeft + align * kCell, y + 22, kCell - 8, kRow - 6,
                                            std::string("TextAlign ") + std::to_string(align));
        button.setCaption(textNames[align]);
        button.setTextAlign(align);
        button.setBorderStyle(1);
    }
    struct Behaviour {
        const char* caption;
        int32_t behavior;
        bool down, enabled;
    };
    constexpr Behaviour behaviours[] = {
        {"&Push", 0, false, true}, {"&Toggle (down)", 1, true, true}, {"Toggle (up)", 1, false, true},
        {"Disabled", 0, false, false}};
    for (int i = 0; i < int(std::size(behaviours)); ++i) {
        const Behaviour& b = behaviours[i];
        VarnoButtonCore& button = addButton(kLeft + i * kCell, y + 22 + kRow, kCell - 8, kRow - 6, b.caption);
        button.setCaption(b.caption);
        button.setStyle(1);
        button.setBackColor(0x00D8D0C8);
        button.setFadetoColor(kWhite);
        button.setBorderStyle(1);
        button.setTextAlign(2);
        button.setBehavior(b.behavior);
        button.setButtonDown(b.down);
        button.setEnabled(b.enabled);
    }

    label(window_, instance_, font_, "Events", 540, 6, 100);
    log_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", nullptr,
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 540, 28,
                           410, 330, window_, nullptr, instance_, nullptr);
    SendMessageW(log_, WM_SETFONT, WPARAM(font_), FALSE);
}

LRESULT CALLBACK GalleryWindow::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETFONT: {
        auto* self = reinterpret_cast<GalleryWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        return self ? LRESULT(self->font_) : 0;
    }
    case WM_NCCREATE:
        SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace ombrix
