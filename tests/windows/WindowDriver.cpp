// ombrix-windriver: drives the windows of a running ombrix.exe for the
// end-to-end test, as a user would: it finds windows and controls by their
// texts, clicks and types with real input (SendInput), and reads back what the
// tree, the list and the labels show. Commands run in the order given; the
// first that fails ends the program with status 1 and says why on stderr.
//
//   wait TITLE [SECONDS]      a visible window whose title starts with TITLE becomes the current one
//   gone TITLE [SECONDS]      no visible window's title starts with TITLE any more
//   texts                     prints the current window's controls: "text<TAB>class"
//   accessible                prints what a screen reader hears of each of the current window's
//                             controls (not of their inner parts): "name<TAB>role<TAB>class"
//   shows TEXT [SECONDS]      a visible control of the current window shows TEXT
//   hidden TEXT               no visible control of the current window shows TEXT
//   whole POINTS              each visible label of the current window has room for all its lines
//                             in Arial at POINTS (a font of another process cannot be selected here)
//   click TEXT                left click on the current window's control showing TEXT
//   tree-click TEXT           left click on the tree entry TEXT
//   tree-dblclick TEXT        double click on the tree entry TEXT
//   rows                      prints the list's rows: "name<TAB>path<TAB>image<TAB>selected"
//   row-click N / row-rclick N    left / right click on list row N (from 1)
//   keys K1,K2,...            presses keys (down, up, enter, escape, tab, space, apps, f10; shift+K
//                             with Shift held) where the keyboard is
//   menu-open [SECONDS]       a popup menu is open
//   message TEXT [SECONDS]    a message box "Ombrix" shows TEXT; OK is pressed
//   rect                      prints the current window's place on the screen: "WxH+X+Y"
//   layout FORM DPI           the current window is FORM ("main" or "scan") laid out for DPI: each
//                             control at its twips rectangle (a link may grow wider), its text whole
//                             in Arial of the form's sizes, the list's icons scaled; prints each miss
//   close                     asks the current window to close (its close box)
//   sleep MS
//
// A copy named update.exe, started without commands, stands in for the
// updater: it leaves the file "update-started" beside itself, holding the
// owner's frame it was given (OMBRIX_OWNER_BOX) or "none".
#define NOMINMAX
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "MainForm.h"
#include "ScanForm.h"

namespace {

[[noreturn]] void fail(const std::string& why)
{
    throw std::runtime_error(why);
}

std::string windowText(HWND window)
{
    char buffer[1024] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    return buffer;
}

std::string className(HWND window)
{
    char buffer[256] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

// Retries `find` until it gives a window or `seconds` have passed.
HWND waitFor(const std::function<HWND()>& find, double seconds)
{
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    for (;;) {
        if (HWND found = find())
            return found;
        if (GetTickCount64() > end)
            return nullptr;
        Sleep(50);
    }
}

struct WindowSearch {
    std::string prefix;
    const char* windowClass;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    if (!IsWindowVisible(window) || windowText(window).rfind(search.prefix, 0) != 0)
        return TRUE;
    if (search.windowClass && className(window) != search.windowClass)
        return TRUE;
    search.found = window;
    return FALSE;
}

HWND topWindow(const std::string& titlePrefix, const char* windowClass = nullptr)
{
    WindowSearch search{titlePrefix, windowClass, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK collectWindow(HWND child, LPARAM data)
{
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
    return TRUE;
}

std::vector<HWND> controls(HWND window)
{
    std::vector<HWND> found;
    EnumChildWindows(window, collectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The name and role a screen reader is given for `control`; "?" for a control
// that gives none.
std::string accessibleFacts(HWND control)
{
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))))
        return "?\t?";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string facts;
    if (object->get_accName(self, &name) == S_OK && name) {
        char text[512] = {};
        WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text, nullptr, nullptr);
        facts = text;
        SysFreeString(name);
    }
    VARIANT role{};
    char roleText[128] = "?";
    if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4)
        GetRoleTextA(static_cast<DWORD>(role.lVal), roleText, sizeof roleText);
    object->Release();
    return facts + "\t" + roleText;
}

HWND control(HWND window, const std::string& text)
{
    for (HWND child : controls(window)) {
        if (IsWindowVisible(child) && windowText(child) == text)
            return child;
    }
    fail("no control shows \"" + text + "\"");
}

HWND visibleControl(HWND window, const std::string& text)
{
    for (HWND child : controls(window)) {
        if (IsWindowVisible(child) && windowText(child) == text)
            return child;
    }
    return nullptr;
}

// What a control's text is measured in: Arial, as large as `dpi` makes
// `points` (a font of another process cannot be selected here).
class FormFont {
public:
    FormFont(double points, bool bold, bool underline, int dpi)
        : dc_(GetDC(nullptr)),
          font_(CreateFontA(-static_cast<int>(points * dpi / 72.0 + 0.5), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                            underline, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_SWISS, "Arial")),
          previous_(SelectObject(dc_, font_))
    {
    }
    ~FormFont()
    {
        SelectObject(dc_, previous_);
        DeleteObject(font_);
        ReleaseDC(nullptr, dc_);
    }
    // `text` whole in a box `width` x `height`: on one line when the box holds one.
    bool fits(const std::string& text, int width, int height) const
    {
        SIZE line{};
        GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &line);
        if (height < 2 * line.cy)
            return line.cx <= width && line.cy <= height;
        RECT wrapped{0, 0, width, 0};
        DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return wrapped.bottom <= height && wrapped.right <= width;
    }

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_;
};

// Fails when a visible label's text, wrapped at its width in Arial at `points`,
// needs more lines than its height holds.
void expectWholeLabels(HWND window, double points)
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const FormFont font(points, false, false, dpi);
    for (HWND child : controls(window)) {
        const std::string text = windowText(child);
        if (!IsWindowVisible(child) || className(child) != "Static" || text.empty())
            continue;
        RECT room;
        GetClientRect(child, &room);
        if (!font.fits(text, room.right, room.bottom))
            fail("\"" + text + "\" is cut in " + std::to_string(room.right) + "x" + std::to_string(room.bottom));
    }
}

HWND controlOfClass(HWND window, const char* wanted)
{
    for (HWND child : controls(window)) {
        if (className(child) == wanted)
            return child;
    }
    fail(std::string("no control of class ") + wanted);
}

// Memory in the process that owns `window`, for the messages of the common
// controls, whose pointers must be valid in their own process.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, std::size_t size) : size_(size)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
        if (!process_)
            fail("cannot open the program's process");
        address_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
        if (!address_)
            fail("cannot allocate in the program's process");
    }
    ~RemoteBuffer()
    {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    char* at(std::size_t offset) const { return address_ + offset; }
    void write(std::size_t offset, const void* data, std::size_t size) const
    {
        WriteProcessMemory(process_, address_ + offset, data, size, nullptr);
    }
    void read(std::size_t offset, void* data, std::size_t size) const
    {
        ReadProcessMemory(process_, address_ + offset, data, size, nullptr);
    }
    std::string readText(std::size_t offset) const
    {
        std::vector<char> text(size_ - offset, '\0');
        read(offset, text.data(), text.size());
        return text.data();
    }

private:
    HANDLE process_ = nullptr;
    char* address_ = nullptr;
    std::size_t size_;
};

constexpr std::size_t kTextOffset = 512;
constexpr std::size_t kBufferSize = 4096;

POINT centreOnScreen(HWND window, RECT area)
{
    POINT centre{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    ClientToScreen(window, &centre);
    return centre;
}

void mouse(POINT at, DWORD down, DWORD up, int clicks = 1)
{
    SetCursorPos(at.x, at.y);
    Sleep(100);
    if (std::getenv("WINDRIVER_TRACE")) {
        POINT now;
        GetCursorPos(&now);
        std::fprintf(stderr, "click at %ld,%ld, cursor %ld,%ld, window %s\n", at.x, at.y, now.x, now.y,
                     className(WindowFromPoint(now)).c_str());
    }
    for (int i = 0; i < clicks; ++i) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = down;
        input[1].mi.dwFlags = up;
        SendInput(2, input, sizeof(INPUT));
        Sleep(i + 1 < clicks ? 30 : 300);
    }
}

void leftClick(POINT at, int clicks = 1)
{
    mouse(at, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, clicks);
}

// Presses `virtualKey`, with Shift held when `shifted`.
void key(WORD virtualKey, bool shifted)
{
    INPUT input[4] = {};
    UINT count = 0;
    const auto add = [&](WORD code, DWORD flags) {
        input[count].type = INPUT_KEYBOARD;
        input[count].ki.wVk = code;
        input[count++].ki.dwFlags = flags;
    };
    if (shifted)
        add(VK_SHIFT, 0);
    add(virtualKey, 0);
    add(virtualKey, KEYEVENTF_KEYUP);
    if (shifted)
        add(VK_SHIFT, KEYEVENTF_KEYUP);
    SendInput(count, input, sizeof(INPUT));
    Sleep(150);
}

HTREEITEM treeItem(HWND tree, const RemoteBuffer& remote, const std::string& text)
{
    // Depth first over every entry the tree holds.
    std::vector<HTREEITEM> pending;
    auto* root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    if (root)
        pending.push_back(root);
    while (!pending.empty()) {
        HTREEITEM item = pending.back();
        pending.pop_back();
        TVITEMA query{};
        query.mask = TVIF_TEXT | TVIF_HANDLE;
        query.hItem = item;
        query.pszText = remote.at(kTextOffset);
        query.cchTextMax = static_cast<int>(kBufferSize - kTextOffset);
        remote.write(0, &query, sizeof query);
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.at(0)));
        if (remote.readText(kTextOffset) == text)
            return item;
        if (auto* next = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                                  reinterpret_cast<LPARAM>(item))))
            pending.push_back(next);
        if (auto* child = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                                   reinterpret_cast<LPARAM>(item))))
            pending.push_back(child);
    }
    fail("no tree entry \"" + text + "\"");
}

POINT treeItemCentre(HWND window, const std::string& text)
{
    HWND tree = controlOfClass(window, WC_TREEVIEWA);
    RemoteBuffer remote(tree, kBufferSize);
    HTREEITEM item = treeItem(tree, remote, text);
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    RECT area{};
    std::memcpy(&area, &item, sizeof item);
    remote.write(0, &area, sizeof area);
    if (!SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.at(0))))
        fail("tree entry \"" + text + "\" is not visible");
    remote.read(0, &area, sizeof area);
    // On the entry's picture, just left of its text: Wine's tree does not
    // always take a click in the text of a short entry as one on the entry.
    POINT picture{area.left - 9, (area.top + area.bottom) / 2};
    ClientToScreen(tree, &picture);
    return picture;
}

std::string listText(HWND list, const RemoteBuffer& remote, int row, int column)
{
    LVITEMA query{};
    query.iSubItem = column;
    query.pszText = remote.at(kTextOffset);
    query.cchTextMax = static_cast<int>(kBufferSize - kTextOffset);
    remote.write(0, &query, sizeof query);
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote.at(0)));
    return remote.readText(kTextOffset);
}

void printRows(HWND window)
{
    HWND list = controlOfClass(window, WC_LISTVIEWA);
    RemoteBuffer remote(list, kBufferSize);
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        LVITEMA query{};
        query.mask = LVIF_IMAGE | LVIF_STATE;
        query.iItem = row;
        query.stateMask = LVIS_SELECTED;
        remote.write(0, &query, sizeof query);
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.at(0)));
        remote.read(0, &query, sizeof query);
        const std::string name = listText(list, remote, row, 0);
        const std::string path = listText(list, remote, row, 1);
        std::printf("%s\t%s\t%d\t%d\n", name.c_str(), path.c_str(), query.iImage,
                    (query.state & LVIS_SELECTED) ? 1 : 0);
    }
}

POINT listRowCentre(HWND window, int row)
{
    HWND list = controlOfClass(window, WC_LISTVIEWA);
    RemoteBuffer remote(list, kBufferSize);
    RECT area{};
    area.left = LVIR_LABEL;
    remote.write(0, &area, sizeof area);
    if (!SendMessageA(list, LVM_GETITEMRECT, row - 1, reinterpret_cast<LPARAM>(remote.at(0))))
        fail("no list row " + std::to_string(row));
    remote.read(0, &area, sizeof area);
    return centreOnScreen(list, area);
}

WORD virtualKey(const std::string& name)
{
    if (name == "down") return VK_DOWN;
    if (name == "up") return VK_UP;
    if (name == "enter") return VK_RETURN;
    if (name == "escape") return VK_ESCAPE;
    if (name == "tab") return VK_TAB;
    if (name == "space") return VK_SPACE;
    if (name == "apps") return VK_APPS;
    if (name == "f10") return VK_F10;
    fail("unknown key " + name);
}

RECT placeIn(HWND parent, HWND child)
{
    RECT place;
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

std::string describe(const RECT& r)
{
    return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "+" + std::to_string(r.left) +
           "+" + std::to_string(r.top);
}

// Checks `window` against `form` at `dpi` and prints a line for each miss;
// true when there was none.
bool checkLayout(HWND window, const ombrix::FormDescription& form, int dpi)
{
    using ombrix::ControlKind;
    const auto scaled = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    bool whole = true;
    const auto miss = [&whole](const std::string& what) {
        std::printf("%s\n", what.c_str());
        whole = false;
    };
    RECT client;
    GetClientRect(window, &client);
    if (client.right != scaled(form.clientWidth) || client.bottom != scaled(form.clientHeight))
        miss("the window's inside is " + describe(client));
    std::vector<std::pair<std::string_view, HWND>> panels;
    for (const ombrix::ControlDescription& want : form.controls) {
        if (want.kind == ControlKind::Shape || want.kind == ControlKind::Rule)
            continue;
        HWND parent = window;
        for (const auto& [name, panel] : panels)
            parent = name == want.parent ? panel : parent;
        const int left = scaled(want.rect.left);
        const int top = scaled(want.rect.top);
        const RECT expected{left, top, left + scaled(want.rect.width), top + scaled(want.rect.height)};
        // A line of text may grow to the right to stay whole.
        const bool mayGrow = want.kind == ControlKind::Link || want.kind == ControlKind::Label;
        HWND found = nullptr;
        RECT place{};
        std::string there;
        for (HWND child = GetWindow(parent, GW_CHILD); child && !found; child = GetWindow(child, GW_HWNDNEXT)) {
            place = placeIn(parent, child);
            if (!IsWindowVisible(child) || place.left != left || place.top != top)
                continue;
            if (place.bottom == expected.bottom &&
                (place.right == expected.right || (mayGrow && place.right > expected.right)))
                found = child;
            else
                there.append(" ").append(describe(place));
        }
        if (!found) {
            miss(std::string(want.name) + ": nothing at " + describe(expected) + (there.empty() ? "" : ", but:" + there));
            continue;
        }
        if (want.kind == ControlKind::Panel)
            panels.emplace_back(want.name, found);
        const std::string text = windowText(found);
        const FormFont font(want.points > 0 ? want.points : form.fontPoints, want.bold, want.underline, dpi);
        if (!text.empty() && !font.fits(text, place.right - place.left, place.bottom - place.top))
            miss(std::string(want.name) + ": \"" + text + "\" is cut in " + describe(place));
        if (want.kind == ControlKind::List && SendMessageA(found, LVM_GETITEMCOUNT, 0, 0) > 0) {
            RemoteBuffer remote(found, kBufferSize);
            RECT icon{LVIR_ICON, 0, 0, 0};
            remote.write(0, &icon, sizeof icon);
            SendMessageA(found, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(remote.at(0)));
            remote.read(0, &icon, sizeof icon);
            if (icon.right - icon.left != MulDiv(16, dpi, 96))
                miss(std::string(want.name) + ": icons " + std::to_string(icon.right - icon.left) + " pixels wide");
        }
    }
    return whole;
}

double seconds(char** argv, int& i, int argc, double fallback)
{
    if (i + 1 < argc && std::strtod(argv[i + 1], nullptr) > 0)
        return std::strtod(argv[++i], nullptr);
    return fallback;
}

bool actAsUpdater()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string own = path;
    const std::size_t folder = own.rfind('\\') + 1;
    if (lstrcmpiA(own.c_str() + folder, "update.exe") != 0)
        return false;
    HANDLE marker = CreateFileA((own.substr(0, folder) + "update-started").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const char* owner = std::getenv("OMBRIX_OWNER_BOX");
    const std::string given = owner ? owner : "none";
    DWORD written = 0;
    WriteFile(marker, given.data(), static_cast<DWORD>(given.size()), &written, nullptr);
    CloseHandle(marker);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (argc == 1 && actAsUpdater())
        return 0;
    HWND current = nullptr;
    const auto need = [&](int i, int count) {
        if (i + count >= argc)
            fail(std::string(argv[i]) + " needs an argument");
        if (!current && std::strcmp(argv[i], "wait") != 0 && std::strcmp(argv[i], "gone") != 0
            && std::strcmp(argv[i], "message") != 0 && std::strcmp(argv[i], "sleep") != 0
            && std::strcmp(argv[i], "keys") != 0 && std::strcmp(argv[i], "menu-open") != 0)
            fail(std::string(argv[i]) + " needs a current window (wait first)");
    };
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string command = argv[i];
            if (command == "wait") {
                need(i, 1);
                const std::string title = argv[++i];
                current = waitFor([&] { return topWindow(title); }, seconds(argv, i, argc, 20));
                if (!current)
                    fail("no window \"" + title + "\"");
                // Not over a message box it owns: Wine would raise the owner above it.
                if (IsWindowEnabled(current))
                    SetForegroundWindow(current);
            } else if (command == "gone") {
                need(i, 1);
                const std::string title = argv[++i];
                const double limit = seconds(argv, i, argc, 20);
                if (!waitFor([&] { return topWindow(title) ? nullptr : GetDesktopWindow(); }, limit))
                    fail("window \"" + title + "\" is still there");
            } else if (command == "texts") {
                need(i, 0);
                for (HWND child : controls(current))
                    std::printf("%s\t%s\n", windowText(child).c_str(), className(child).c_str());
            } else if (command == "accessible") {
                need(i, 0);
                for (HWND child : controls(current)) {
                    const HWND parent = GetParent(child);
                    if (IsWindowVisible(child) && (parent == current || className(parent) == "OmbrixPanel"))
                        std::printf("%s\t%s\n", accessibleFacts(child).c_str(), className(child).c_str());
                }
            } else if (command == "shows") {
                need(i, 1);
                const std::string text = argv[++i];
                if (!waitFor([&] { return visibleControl(current, text); }, seconds(argv, i, argc, 20)))
                    fail("no control shows \"" + text + "\"");
            } else if (command == "hidden") {
                need(i, 1);
                const std::string text = argv[++i];
                if (visibleControl(current, text))
                    fail("a control shows \"" + text + "\"");
            } else if (command == "whole") {
                need(i, 1);
                expectWholeLabels(current, std::strtod(argv[++i], nullptr));
            } else if (command == "click") {
                need(i, 1);
                HWND target = control(current, argv[++i]);
                RECT area;
                GetClientRect(target, &area);
                leftClick(centreOnScreen(target, area));
            } else if (command == "tree-click" || command == "tree-dblclick") {
                need(i, 1);
                leftClick(treeItemCentre(current, argv[++i]), command == "tree-click" ? 1 : 2);
            } else if (command == "rows") {
                need(i, 0);
                printRows(current);
            } else if (command == "row-click") {
                need(i, 1);
                leftClick(listRowCentre(current, std::atoi(argv[++i])));
            } else if (command == "row-rclick") {
                need(i, 1);
                mouse(listRowCentre(current, std::atoi(argv[++i])), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
            } else if (command == "keys") {
                need(i, 1);
                std::string names = argv[++i];
                for (std::size_t start = 0; start <= names.size();) {
                    const std::size_t comma = std::min(names.find(',', start), names.size());
                    std::string name = names.substr(start, comma - start);
                    const bool shifted = name.starts_with("shift+");
                    key(virtualKey(shifted ? name.substr(6) : name), shifted);
                    start = comma + 1;
                }
            } else if (command == "menu-open") {
                if (!waitFor([] { return topWindow("", "#32768"); }, seconds(argv, i, argc, 10)))
                    fail("no popup menu");
            } else if (command == "message") {
                need(i, 1);
                const std::string text = argv[++i];
                HWND box = waitFor([] { return topWindow("Ombrix", "#32770"); }, seconds(argv, i, argc, 20));
                if (!box)
                    fail("no message box");
                bool shown = false;
                for (HWND child : controls(box))
                    shown = shown || windowText(child) == text;
                if (!shown)
                    fail("the message box does not say \"" + text + "\"");
                SetForegroundWindow(box);
                HWND ok = control(box, "OK");
                RECT area;
                GetClientRect(ok, &area);
                leftClick(centreOnScreen(ok, area));
                if (!waitFor([box] { return IsWindow(box) && IsWindowVisible(box) ? nullptr : box; }, 10))
                    fail("the message box stays");
            } else if (command == "rect") {
                need(i, 0);
                RECT area;
                GetWindowRect(current, &area);
                std::printf("%ldx%ld+%ld+%ld\n", area.right - area.left, area.bottom - area.top, area.left, area.top);
            } else if (command == "layout") {
                need(i, 2);
                const std::string form = argv[++i];
                if (form != "main" && form != "scan")
                    fail("no form " + form);
                if (!checkLayout(current, form == "main" ? ombrix::kMainForm : ombrix::kScanForm, std::atoi(argv[++i])))
                    fail("the " + form + " window is not laid out for its DPI");
            } else if (command == "close") {
                need(i, 0);
                PostMessageA(current, WM_CLOSE, 0, 0);
            } else if (command == "sleep") {
                need(i, 1);
                Sleep(static_cast<DWORD>(std::atoi(argv[++i])));
            } else {
                fail("unknown command " + command);
            }
            std::fflush(stdout);
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ombrix-windriver: %s\n", error.what());
        return 1;
    }
    return 0;
}
