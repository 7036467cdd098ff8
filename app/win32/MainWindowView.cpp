#include "MainWindowView.h"

#include <algorithm>

#include "AccessibleControl.h"
#include "Artwork.h"
#include "Controls.h"
#include "MainForm.h"
#include "MessagePump.h"
#include "ScanView.h"
#include "Twips.h"
#include "ViewLayout.h"
#include "frmMain.h"

namespace ombrix {

namespace {

constexpr const char* kWindowClass = "OmbrixMain";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr COLORREF kShapeColour = RGB(224, 224, 224);

// Control identifiers: the control's place in kMainControls from here; 1 and 2
// are the dialog keys' IDOK and IDCANCEL.
constexpr int kFirstControl = 100;

int idOf(const ControlDescription& description)
{
    return kFirstControl + static_cast<int>(&description - kMainControls.data());
}

void setCheck(HWND check, std::int16_t value)
{
    // The box shows the form's value; a click is the window's to answer.
    SendMessageA(check, BM_SETSTYLE, value == 2 ? BS_3STATE : BS_CHECKBOX, FALSE);
    SendMessageA(check, BM_SETCHECK, value == 0 ? BST_UNCHECKED : value == 2 ? BST_INDETERMINATE : BST_CHECKED, 0);
}

LPSTR itemText(const std::string& text)
{
    return const_cast<LPSTR>(text.c_str());
}

}  // namespace

void MainWindowView::registerWindowClass()
{
    Controls::registerViewClass<MainWindowView>(kWindowClass, Artwork::programIcon);
}

MainWindowView::MainWindowView(frmMain& form) : form_(form)
{
    registerWindowClass();
    const SIZE size = outerSizeForClient(kMainForm.clientWidth, kMainForm.clientHeight, kStyle, kExStyle);
    window_ = CreateWindowExA(kExStyle, kWindowClass, kMainForm.title, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx,
                              size.cy, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    boldFont_ = Controls::arial(kMainForm.fontPoints, true);
    regularFont_ = Controls::arial(kMainForm.fontPoints, false);
    linkFont_ = Controls::arial(kMainForm.control("Label6").points, false, true);
    buildControls();
    scanView_ = std::make_unique<ScanView>(form_.scanWindow(), window_);
    form_.attachView(this);
}

MainWindowView::~MainWindowView()
{
    form_.attachView(nullptr);
    scanView_.reset();
    DestroyWindow(window_);
    for (HGDIOBJ font : {static_cast<HGDIOBJ>(boldFont_), static_cast<HGDIOBJ>(regularFont_),
                         static_cast<HGDIOBJ>(linkFont_)})
        DeleteObject(font);
    for (HBITMAP bitmap : pictures_)
        DeleteObject(bitmap);
}

HFONT MainWindowView::fontOf(const ControlDescription& description) const
{
    if (description.points > 0)
        return linkFont_;
    return description.bold ? boldFont_ : regularFont_;
}

HWND MainWindowView::build(const ControlDescription& description)
{
    const TwipsRect& r = description.rect;
    const int id = idOf(description);
    HFONT font = fontOf(description);
    // A click on an option's text or a link's icon reaches the window.
    const DWORD notify = *description.partner ? SS_NOTIFY : 0;
    switch (description.kind) {
    case ControlKind::Tree: {
        HWND tree = Controls::child(WC_TREEVIEWA, "",
                                    TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP,
                                    window_, id, font, r.left, r.top, r.width, r.height, WS_EX_CLIENTEDGE);
        SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Artwork::treeImageList()));
        return tree;
    }
    case ControlKind::Picture: {
        HBITMAP bitmap = artwork(description);
        pictures_[pictureCount_++] = bitmap;
        return Controls::picture(window_, id, bitmap, r.left, r.top, r.width, r.height, notify);
    }
    case ControlKind::CheckBox:
        return Controls::child("BUTTON", "", BS_CHECKBOX | WS_TABSTOP, window_, id, font, r.left, r.top, r.width,
                               r.height);
    case ControlKind::Label:
        return Controls::label(window_, id, description.text, font, r.left, r.top, r.width, r.height, notify);
    case ControlKind::Value:
        // Stored values and paths: one line each, shown as they are.
        return Controls::label(window_, id, description.text, font, r.left, r.top, r.width, r.height,
                               description.path ? SS_PATHELLIPSIS : SS_ENDELLIPSIS);
    case ControlKind::Link: {
        // Buttons drawn as underlined text, so the keyboard reaches them too.
        HWND link = Controls::child("BUTTON", description.text, BS_OWNERDRAW | WS_TABSTOP, window_, id, font, r.left,
                                    r.top, r.width, r.height);
        // A font rounds to whole pixels, so at some DPIs a one-line link is
        // wider than its box: the box grows to the right, where the window has
        // room. A box of two lines wraps its text instead.
        const SIZE text = Controls::textSize(link, font, description.text);
        if (px(r.height) < 2 * text.cy) {
            RECT client;
            GetClientRect(window_, &client);
            SetWindowPos(link, nullptr, 0, 0, ViewLayout::FittedWidth(text.cx, px(r.width), client.right - px(r.left)),
                         px(r.height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return link;
    }
    default:
        // Shapes are painted on the window.
        return nullptr;
    }
}

HBITMAP MainWindowView::artwork(const ControlDescription& description)
{
    const int width = px(description.rect.width);
    const int height = px(description.rect.height);
    const std::string_view key = description.text;
    if (key == "headerStrip")
        return Artwork::headerStrip(width, height);
    // The strip this picture lies over, in the picture's own pixels.
    RECT strip{};
    for (const ControlDescription& other : kMainControls) {
        const TwipsRect& s = other.rect;
        const TwipsRect& r = description.rect;
        if (std::string_view(other.text) == "headerStrip" && s.top < r.top + r.height && r.top < s.top + s.height)
            strip = RECT{px(s.left - r.left), px(s.top - r.top), px(s.left + s.width - r.left),
                         px(s.top + s.height - r.top)};
    }
    if (key == "optionsArt")
        return Artwork::optionsArt(width, height, strip);
    if (key == "statisticsArt")
        return Artwork::statisticsArt(width, height, strip);
    return key == "scanIcon" ? Artwork::scanIcon(width) : Artwork::updateIcon(width);
}

void MainWindowView::buildControls()
{
    // Created in the table's order, which is also the order Tab follows.
    for (const ControlDescription& description : kMainControls) {
        controls_[idOf(description) - kFirstControl] = build(description);
        AccessibleControl::describe(controls_[idOf(description) - kFirstControl], description);
    }
    tree_ = control("TreeView1");
    // The artwork lies over the labels' empty ends and over its panel's strip.
    for (const ControlDescription& description : kMainControls) {
        if (description.kind == ControlKind::Picture && !*description.partner)
            SetWindowPos(control(description.name), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

HWND MainWindowView::control(const char* name) const
{
    return controls_[static_cast<std::size_t>(idOf(kMainForm.control(name)) - kFirstControl)];
}

const ControlDescription* MainWindowView::describe(HWND window) const
{
    const auto place = std::find(controls_.begin(), controls_.end(), window);
    return window && place != controls_.end() ? &kMainControls[static_cast<std::size_t>(place - controls_.begin())]
                                              : nullptr;
}

void MainWindowView::setWindowVisible(bool visible)
{
    if (visible) {
        syncScanAction();
        ShowWindow(window_, SW_SHOW);
        SetForegroundWindow(window_);
        return;
    }
    ShowWindow(window_, SW_HIDE);
}

void MainWindowView::showScanWindow()
{
    scanView_->show();
}

void MainWindowView::setScanWindowCaption(const std::string& caption)
{
    scanView_->setCaption(caption);
}

void MainWindowView::syncScanAction()
{
    const bool available = events_.scanWaitReason().empty();
    for (const ControlDescription& description : kMainControls) {
        if (MainViewEvents::startsScan(description.name))
            EnableWindow(control(description.name), available);
    }
}

void MainWindowView::syncFromForm()
{
    for (const ControlDescription& description : kMainControls) {
        if (description.kind == ControlKind::CheckBox)
            setCheck(control(description.name), events_.option(description.name));
        else if (description.kind == ControlKind::Value)
            Controls::setText(control(description.name), events_.value(description.name));
    }
    syncScanAction();
    syncTree();
}

void MainWindowView::syncTree()
{
    syncing_ = true;
    mirror_.sync(
        form_.TreeView1, [this] { SendMessageA(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); },
        [this](const TreeEntry& entry, HTREEITEM parent) {
            TVINSERTSTRUCTA insert{};
            insert.hParent = parent ? parent : TVI_ROOT;
            insert.hInsertAfter = TVI_LAST;
            insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
            insert.item.pszText = itemText(entry.text);
            insert.item.iImage = Artwork::treeImage(entry.image);
            insert.item.iSelectedImage =
                Artwork::treeImage(entry.selectedImage.empty() ? entry.image : entry.selectedImage);
            return reinterpret_cast<HTREEITEM>(
                SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        },
        [this](HTREEITEM item, bool expanded) {
            SendMessageA(tree_, TVM_EXPAND, expanded ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
        },
        [this](HTREEITEM item) { SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)); });
    syncing_ = false;
}

void MainWindowView::drawLink(const DRAWITEMSTRUCT& item)
{
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    const std::string caption = Controls::text(item.hwndItem);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    HGDIOBJ previous = SelectObject(item.hDC, linkFont_);
    RECT place = item.rcItem;
    DrawTextA(item.hDC, caption.c_str(), -1, &place, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        RECT text = item.rcItem;
        DrawTextA(item.hDC, caption.c_str(), -1, &text, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        DrawFocusRect(item.hDC, &text);
    }
    SelectObject(item.hDC, previous);
}

void MainWindowView::paintShapes()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    HBRUSH brush = CreateSolidBrush(kShapeColour);
    // An outline drawn inside its box, as the designer's shapes are.
    for (const ControlDescription& shape : kMainControls) {
        if (shape.kind != ControlKind::Shape)
            continue;
        const TwipsRect& r = shape.rect;
        const RECT frame{px(r.left), px(r.top), px(r.left + r.width), px(r.top + r.height)};
        FrameRect(dc, &frame, brush);
    }
    DeleteObject(brush);
    EndPaint(window_, &paint);
}

LRESULT MainWindowView::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == tree_)
            return treeNotification(*header);
        break;
    }
    case WM_SETCURSOR: {
        // Links show a pointing hand.
        const auto over = reinterpret_cast<HWND>(wParam);
        const ControlDescription* description = describe(over);
        if (description && description->kind == ControlKind::Link && IsWindowEnabled(over)) {
            SetCursor(LoadCursorA(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM:
        drawLink(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_PAINT:
        paintShapes();
        return 0;
    case WM_ACTIVATE:
        // The control that had the keyboard gets it back when the window does.
        if (LOWORD(wParam) == WA_INACTIVE && IsChild(window_, GetFocus()))
            lastFocus_ = GetFocus();
        break;
    case WM_SETFOCUS:
        SetFocus(lastFocus_ && IsWindowEnabled(lastFocus_) ? lastFocus_ : tree_);
        return 0;
    case WM_ENDSESSION:
        if (wParam)
            form_.close();
        return 0;
    case WM_CLOSE:
        form_.close();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void MainWindowView::command(int id, int code)
{
    // Enter comes from the dialog manager as IDOK, for whichever control holds the keyboard.
    const ControlDescription* description =
        id == IDOK ? describe(GetFocus()) : describe(GetDlgItem(window_, id));
    if (!description)
        return;
    if (id == IDOK)
        events_.key(description->name, FormKey::Enter);
    else if (code == STN_CLICKED || code == BN_CLICKED)
        events_.click(description->name);
    else
        return;
    syncFromForm();
}

LRESULT MainWindowView::treeNotification(const NMHDR& header)
{
    switch (header.code) {
    case TVN_SELCHANGEDA: {
        if (syncing_)
            return 0;
        events_.treeSelected(mirror_.keyOf(reinterpret_cast<const NMTREEVIEWA&>(header).itemNew.hItem));
        Controls::setText(control("Label11"), events_.value("Label11"));
        return 0;
    }
    case NM_DBLCLK:
        events_.treeActivated();
        syncFromForm();
        // Handled: the entry does not also open or close on the double click.
        return TRUE;
    case TVN_ITEMEXPANDEDA: {
        const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
        events_.treeExpanded(mirror_.keyOf(change.itemNew.hItem), (change.action & TVE_EXPAND) != 0);
        return 0;
    }
    default:
        return 0;
    }
}

}  // namespace ombrix
