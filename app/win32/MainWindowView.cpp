#include "MainWindowView.h"

#include "Artwork.h"
#include "Controls.h"
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

// Control identifiers; 1 and 2 are the dialog keys' IDOK and IDCANCEL.
enum : int {
    kTreeView1 = 100,
    kCheck1,
    kCheck2,
    kCheck3,
    kLabel1,
    kLabel2,
    kLabel3,
    kLabel4,
    kLabel5,
    kLabel6,
    kLabel12,
    kImage3,
    kImage6,
};

std::int16_t checkValue(HWND check)
{
    switch (SendMessageA(check, BM_GETCHECK, 0, 0)) {
    case BST_UNCHECKED: return 0;
    case BST_INDETERMINATE: return 2;
    default: return 1;
    }
}

void setCheck(HWND check, std::int16_t value)
{
    // The third state is offered only to a box that starts in it.
    SendMessageA(check, BM_SETSTYLE, value == 2 ? BS_AUTO3STATE : BS_AUTOCHECKBOX, FALSE);
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
    const SIZE size = outerSizeForClient(8955, 5835, kStyle, kExStyle);
    window_ = CreateWindowExA(kExStyle, kWindowClass, "Varno Ombrix", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx,
                              size.cy, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    boldFont_ = Controls::arial(8.25, true);
    regularFont_ = Controls::arial(8.25, false);
    linkFont_ = Controls::arial(9.75, false, true);
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

HWND MainWindowView::picture(HBITMAP bitmap, int id, int left, int top, int width, int height)
{
    pictures_[pictureCount_++] = bitmap;
    return Controls::picture(window_, id, bitmap, left, top, width, height, id != 0 ? SS_NOTIFY : 0);
}

void MainWindowView::buildControls()
{
    tree_ = Controls::child(WC_TREEVIEWA, "",
                            TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP,
                            window_, kTreeView1, boldFont_, 120, 120, 3375, 5535, WS_EX_CLIENTEDGE);
    SendMessageA(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Artwork::treeImageList()));

    HWND strip1 = picture(Artwork::headerStrip(px(5250), px(375)), 0, 3600, 120, 5250, 375);
    HWND art5 = picture(Artwork::optionsArt(px(1560), px(1515)), 0, 7275, 120, 1560, 1515);
    HWND strip2 = picture(Artwork::headerStrip(px(5250), px(375)), 0, 3600, 3360, 5250, 375);
    HWND art4 = picture(Artwork::statisticsArt(px(1425), px(1395)), 0, 7410, 3480, 1425, 1395);

    const struct {
        int top;
        int labelId;
        const char* text;
        int noteId;
        const char* note;
    } options[3] = {
        {720, kLabel1, "Scan subfolders", 0, nullptr},
        {1080, kLabel2, "Scan all Files", kLabel3, "Scan everything, not just documents."},
        {1680, kLabel4, "Attempt to remove threats.", kLabel5,
         "Clear this if you only want us to notify you of threats."},
    };
    for (int i = 0; i < 3; ++i) {
        checks_[i] = Controls::child("BUTTON", "", BS_AUTOCHECKBOX | WS_TABSTOP, window_, kCheck1 + i, boldFont_, 3840,
                                     options[i].top, 200, 210);
        // A click on an option's text ticks its box.
        Controls::label(window_, options[i].labelId, options[i].text, boldFont_, 4080, options[i].top, 4455, 255,
                        SS_NOTIFY);
        if (options[i].note)
            Controls::label(window_, options[i].noteId, options[i].note, regularFont_, 4080, options[i].top + 240,
                            4695, 255, SS_NOTIFY);
    }

    Controls::label(window_, 0, "Scan Location:", boldFont_, 3840, 2400, 4815, 255);
    // Stored values and paths: one line each, shown as they are.
    label11_ = Controls::label(window_, 0, "", regularFont_, 3840, 2640, 4815, 255, SS_PATHELLIPSIS);
    label7_ = Controls::label(window_, 0, "", boldFont_, 3720, 3840, 4455, 255, SS_ENDELLIPSIS);
    label8_ = Controls::label(window_, 0, "", boldFont_, 3720, 4200, 4455, 255, SS_ENDELLIPSIS);
    label9_ = Controls::label(window_, 0, "", boldFont_, 3720, 4560, 4455, 255, SS_ENDELLIPSIS);

    image3_ = picture(Artwork::scanIcon(px(480)), kImage3, 3840, 5160, 480, 480);
    image6_ = picture(Artwork::updateIcon(px(480)), kImage6, 6600, 5160, 480, 480);
    // The links are buttons drawn as underlined text, so the keyboard reaches them too.
    label6_ = Controls::child("BUTTON", "Scan Now for Computer Threats", BS_OWNERDRAW | WS_TABSTOP, window_, kLabel6,
                              linkFont_, 4440, 5160, 1980, 480);
    label12_ = Controls::child("BUTTON", "Check for Updates", BS_OWNERDRAW | WS_TABSTOP, window_, kLabel12, linkFont_,
                               7200, 5280, 1620, 360);
    // A font rounds to whole pixels, so at some DPIs the one-line link is wider
    // than its box: the box grows to the right, where the window has room.
    RECT client;
    GetClientRect(window_, &client);
    SetWindowPos(label12_, nullptr, 0, 0,
                 ViewLayout::FittedWidth(Controls::textWidth(label12_, linkFont_, "Check for Updates"), px(1620),
                                         client.right - px(7200)),
                 px(360), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The artwork lies over the labels' empty ends and over its panel's strip.
    for (HWND art : {strip1, art5, strip2, art4})
        SetWindowPos(art, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
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

void MainWindowView::loadSelectedEntry()
{
    form_.TreeView1_DblClick();
    syncFromForm();
}

void MainWindowView::syncScanAction()
{
    // A scan whose window was closed may still be winding down; a second one
    // cannot start until it ends.
    const bool available = !form_.scanWindow().scanRunning();
    EnableWindow(label6_, available);
    EnableWindow(image3_, available);
}

void MainWindowView::syncFromForm()
{
    const std::int16_t values[3] = {form_.Check1, form_.Check2, form_.Check3};
    for (int i = 0; i < 3; ++i)
        setCheck(checks_[i], values[i]);
    Controls::setText(label7_, form_.Label7);
    Controls::setText(label8_, form_.Label8);
    Controls::setText(label9_, form_.Label9);
    Controls::setText(label11_, form_.Label11);
    syncScanAction();
    syncTree();
}

void MainWindowView::syncTree()
{
    syncing_ = true;
    const auto& entries = form_.TreeView1.entries();
    if (entries.empty() || !items_.contains(entries.front().key)) {
        SendMessageA(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
        items_.clear();
        keys_.clear();
    }
    for (const TreeEntry& entry : entries) {
        if (items_.contains(entry.key))
            continue;
        TVINSERTSTRUCTA insert{};
        insert.hParent = entry.parentKey.empty() ? TVI_ROOT : items_.at(entry.parentKey);
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.pszText = itemText(entry.text);
        insert.item.iImage = Artwork::treeImage(entry.image);
        insert.item.iSelectedImage =
            Artwork::treeImage(entry.selectedImage.empty() ? entry.image : entry.selectedImage);
        auto* item = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        items_.emplace(entry.key, item);
        keys_.emplace(item, entry.key);
    }
    for (const TreeEntry& entry : entries)
        SendMessageA(tree_, TVM_EXPAND, entry.expanded ? TVE_EXPAND : TVE_COLLAPSE,
                     reinterpret_cast<LPARAM>(items_.at(entry.key)));
    if (const TreeEntry* selected = form_.TreeView1.selected())
        SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(items_.at(selected->key)));
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
    for (const RECT& frame : {RECT{px(3600), px(120), px(3600 + 5250), px(120 + 3015)},
                              RECT{px(3600), px(3360), px(3600 + 5250), px(3360 + 1530)}})
        FrameRect(dc, &frame, brush);
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
        // The two links show a pointing hand.
        const auto over = reinterpret_cast<HWND>(wParam);
        if ((over == label6_ || over == label12_) && IsWindowEnabled(over)) {
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
    if (id == IDOK) {
        // Enter on a tree entry does what a double click does; on a link, what a click does.
        HWND focus = GetFocus();
        if (focus == tree_)
            loadSelectedEntry();
        else if (focus == label6_ || focus == label12_)
            command(GetDlgCtrlID(focus), BN_CLICKED);
        return;
    }
    if (id >= kCheck1 && id <= kCheck3) {
        if (code == BN_CLICKED) {
            std::int16_t* values[3] = {&form_.Check1, &form_.Check2, &form_.Check3};
            *values[id - kCheck1] = checkValue(checks_[id - kCheck1]);
        }
        return;
    }
    if (code != STN_CLICKED && code != BN_CLICKED)
        return;
    switch (id) {
    case kLabel1:
        SendMessageA(checks_[0], BM_CLICK, 0, 0);
        break;
    case kLabel2:
    case kLabel3:
        SendMessageA(checks_[1], BM_CLICK, 0, 0);
        break;
    case kLabel4:
    case kLabel5:
        SendMessageA(checks_[2], BM_CLICK, 0, 0);
        break;
    case kLabel6:
        form_.Label6_Click();
        syncFromForm();
        break;
    case kImage3:
        form_.Image3_Click();
        syncFromForm();
        break;
    case kLabel12:
        form_.Label12_Click();
        break;
    case kImage6:
        form_.Image6_Click();
        break;
    default:
        break;
    }
}

LRESULT MainWindowView::treeNotification(const NMHDR& header)
{
    switch (header.code) {
    case TVN_SELCHANGEDA: {
        // Whatever moves the highlight (a click, the arrows, typing a name) sets
        // what the next scan covers.
        if (syncing_)
            return 0;
        const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
        const auto key = keys_.find(change.itemNew.hItem);
        form_.TreeView1.select(key == keys_.end() ? std::string() : key->second);
        form_.TreeView1_Click();
        Controls::setText(label11_, form_.Label11);
        return 0;
    }
    case NM_DBLCLK:
        loadSelectedEntry();
        // Handled: the entry does not also open or close on the double click.
        return TRUE;
    case TVN_ITEMEXPANDEDA: {
        const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
        const auto key = keys_.find(change.itemNew.hItem);
        if (key == keys_.end())
            return 0;
        if (TreeEntry* entry = form_.TreeView1.find(key->second))
            entry->expanded = (change.action & TVE_EXPAND) != 0;
        return 0;
    }
    default:
        return 0;
    }
}

}  // namespace ombrix
