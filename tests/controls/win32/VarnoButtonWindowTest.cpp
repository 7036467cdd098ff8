// The Win32 skin: the same pixels as the core's pictures, and the messages a
// Win32 program and a dialog send it.

#include "core/BevelPictures.h"
#include "core/CoreButton.h"

#include <VarnoButton/GdiSurface.h>
#include <VarnoButton/VarnoButtonWindow.h>

#include <gtest/gtest.h>

namespace ombrix::test {
namespace {

// The RGB colour a picture letter stands for on this system.
uint32_t letterColor(char letter)
{
    switch (letter) {
    case 'H': return GetSysColor(COLOR_BTNHIGHLIGHT);
    case 'D': return GetSysColor(COLOR_3DDKSHADOW);
    case 'S': return GetSysColor(COLOR_BTNSHADOW);
    case 'F': return GetSysColor(COLOR_BTNFACE);
    case 'w': return 0x00FFFFFF;
    case 'r': return 0x000000FF;
    default: return 0;
    }
}

TEST(VarnoButtonWindowTest, gdiPaintsTheCoresBevelPixelForPixel)
{
    for (const BevelCase& c : bevelCases()) {
        for (const double scale : {1.0, 2.0}) {
            const std::vector<std::string>& expected = scale == 1 ? c.scale1 : c.scale2;
            const HWND owner = CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP, 0, 0, int(expected[0].size()),
                                               int(expected.size()), nullptr, nullptr, nullptr, nullptr);
            Journal journal;
            FakeHost host(journal);
            host.width = 15 * kBevelWidth;
            host.height = 15 * kBevelHeight;
            GdiSurface surface(owner, scale);
            FakePicture picture1;
            VarnoButtonCore button(host, surface, picture1);
            button.InitProperties();
            button.setCaption("");
            c.apply(button);
            ASSERT_EQ(std::pair(surface.width(), surface.height()), std::pair(int(expected[0].size()), int(expected.size())));
            for (size_t y = 0; y < expected.size(); ++y)
                for (size_t x = 0; x < expected[y].size(); ++x)
                    ASSERT_EQ(surface.pixel(int(x), int(y)), letterColor(expected[y][x]))
                        << c.name << " at scale " << scale << ", pixel " << x << ", " << y;
            DestroyWindow(owner);
        }
    }
}

// A parent window that counts its buttons' notifications.
struct Parent {
    static inline int clicked = 0, doubleClicked = 0;
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
            ++clicked;
        if (message == WM_COMMAND && HIWORD(wParam) == BN_DOUBLECLICKED)
            ++doubleClicked;
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

class WindowTest : public ::testing::Test {
protected:
    WindowTest()
    {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        EXPECT_TRUE(RegisterVarnoButton(instance));
        WNDCLASSW parentClass{};
        parentClass.lpfnWndProc = Parent::proc;
        parentClass.hInstance = instance;
        parentClass.lpszClassName = L"VarnoButtonTestParent";
        RegisterClassW(&parentClass);
        parent = CreateWindowExW(0, L"VarnoButtonTestParent", nullptr, WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                 instance, nullptr);
        window = CreateWindowExW(0, kVarnoButtonClass, L"&Save", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 100, 30,
                                 parent, HMENU(7), instance, nullptr);
        button = &VarnoButtonWindow::from(window)->button();
        Parent::clicked = Parent::doubleClicked = 0;
    }
    ~WindowTest() override { DestroyWindow(parent); }

    HWND parent = nullptr;
    HWND window = nullptr;
    VarnoButtonCore* button = nullptr;
};

TEST_F(WindowTest, createdLikeACommonControlWithItsTextAsCaption)
{
    EXPECT_EQ(button->Caption(), "&Save");
    SetWindowTextW(window, L"OK");
    EXPECT_EQ(button->Caption(), "OK");
    wchar_t text[8] = {};
    EXPECT_EQ(GetWindowTextW(window, text, 8), 2);
    EXPECT_EQ(std::wstring(text), L"OK");
    EXPECT_EQ(VarnoButtonWindow::from(parent), nullptr);
    EnableWindow(window, FALSE);
    EXPECT_FALSE(button->Enabled());
}

// Keys come as Windows sends them; the holder's handler sees every code and
// the parent hears the click.
TEST_F(WindowTest, keysPressTheButtonAndClickTellsTheParent)
{
    struct Recorder final : VarnoButtonEvents {
        Journal lines;
        void KeyDown(int16_t& k, int16_t&) override { lines.push_back("KeyDown " + std::to_string(k)); }
        void KeyPress(int16_t& k) override { lines.push_back("KeyPress " + std::to_string(k)); }
        void KeyUp(int16_t& k, int16_t&) override { lines.push_back("KeyUp " + std::to_string(k)); }
        void Click() override { lines.push_back("Click"); }
    } recorder;
    button->setEventHandler(&recorder);
    SendMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(button->ButtonDown());
    SendMessageW(window, WM_CHAR, L' ', 0);
    SendMessageW(window, WM_KEYUP, VK_SPACE, 0);
    EXPECT_FALSE(button->ButtonDown());
    SendMessageW(window, WM_KEYDOWN, VK_DELETE, 0);
    SendMessageW(window, WM_CHAR, 0x00E9, 0);  // é in code page 1252
    SendMessageW(window, WM_CHAR, 0x20AC, 0);  // € is 128 there
    SendMessageW(window, WM_CHAR, 0x0416, 0);  // Ж is not
    EXPECT_EQ(recorder.lines, (Journal{"KeyDown 32", "KeyPress 32", "KeyUp 32", "Click", "KeyDown 46", "KeyPress 233",
                                       "KeyPress 128", "KeyPress 63"}));
    EXPECT_EQ(Parent::clicked, 1);

    MSG enter{window, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(SendMessageW(window, WM_GETDLGCODE, VK_RETURN, LPARAM(&enter)) & DLGC_WANTMESSAGE);
    MSG escape{window, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_FALSE(SendMessageW(window, WM_GETDLGCODE, VK_ESCAPE, LPARAM(&escape)) & DLGC_WANTMESSAGE);
}

TEST_F(WindowTest, mouseInTwipsClicksOnReleaseInsideAndDoubleClicks)
{
    struct Recorder final : VarnoButtonEvents {
        Journal lines;
        void MouseDown(int16_t& b, int16_t&, float& x, float& y) override
        {
            lines.push_back("MouseDown " + std::to_string(b) + " " + std::to_string(int(x)) + " " + std::to_string(int(y)));
        }
    } recorder;
    button->setEventHandler(&recorder);
    SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 20));
    EXPECT_TRUE(button->ButtonDown());
    SendMessageW(window, WM_RBUTTONUP, 0, MAKELPARAM(10, 20));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(300, 20));  // outside: no click
    SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 20));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(10, 20));
    EXPECT_EQ(recorder.lines, (Journal{"MouseDown 2 150 300", "MouseDown 1 150 300", "MouseDown 1 150 300"}));
    EXPECT_EQ(Parent::clicked, 1);
    EXPECT_EQ(Parent::doubleClicked, 1);
}

}  // namespace
}  // namespace ombrix::test
