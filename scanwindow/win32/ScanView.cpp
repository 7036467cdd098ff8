#include "ScanView.h"

#include <algorithm>

#include "Artwork.h"
#include "Controls.h"
#include "MessagePump.h"
#include "Twips.h"
#include "ViewLayout.h"

namespace ombrix {

namespace {

constexpr const char* kWindowClass = "OmbrixScan";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// While it scans, the main window is hidden: the scan window has the taskbar's button.
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

// Control and menu identifiers; 1 and 2 are the dialog keys' IDOK and IDCANCEL.
enum : int {
    kCommand1 = 100,
    kListView1,
    kFirstLabel,
    kDeleteThisFile = kFirstLabel + 10,
    kOpenFolder,
};
constexpr UINT_PTR kSyncTimer = 1;
// A person cannot follow more than about 30 changes a second.
constexpr UINT kRepaintIntervalMs = 33;

}  // namespace

void ScanView::registerWindowClass()
{
    Controls::registerViewClass<ScanView>(kWindowClass, [](int) { return Artwork::magnifierIcon(); });
}

namespace {

LPSTR itemText(const std::string& text)
{
    return const_cast<LPSTR>(text.c_str());
}

}  // namespace

ScanView::ScanView(frmScan& form, HWND owner) : form_(form), owner_(owner)
{
    registerWindowClass();
    const SIZE size = outerSizeForClient(9150, 5925, kStyle, kExStyle);
    window_ = CreateWindowExA(kExStyle, kWindowClass, "Varno Ombrix", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx,
                              size.cy, owner, nullptr, GetModuleHandleA(nullptr), this);
    font_ = Controls::arial(8.25, false);
    boldFont_ = Controls::arial(8.25, true);
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

    buildProgressArea();
    buildFindingArea();
    badguymenu_ = CreatePopupMenu();
    AppendMenuA(badguymenu_, MF_STRING, kDeleteThisFile, "Delete this File");
    AppendMenuA(badguymenu_, MF_STRING, kOpenFolder, "Open Folder");

    form_.attachView(this);
    sync();
}

ScanView::~ScanView()
{
    form_.attachView(nullptr);
    DestroyWindow(window_);
    DestroyMenu(badguymenu_);
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(boldFont_),
                           static_cast<HGDIOBJ>(banner_), static_cast<HGDIOBJ>(magnifier_)})
        DeleteObject(object);
}

void ScanView::buildProgressArea()
{
    frame1_ = Controls::panel(window_, 120, 120, 6975, 2895, EDGE_ETCHED);
    banner_ = Artwork::banner(px(7050), px(375));
    Controls::picture(frame1_, 0, banner_, 0, 0, 7050, 375);

    const auto place = [this](ScanLabel label, HFONT font, int left, int top, int width, int height,
                              DWORD style = 0) {
        const auto index = static_cast<std::size_t>(label);
        labels_[index] = Controls::label(frame1_, kFirstLabel + static_cast<int>(index), "", font, left, top, width,
                                         height, style);
    };
    place(ScanLabel::Label6, boldFont_, 120, 480, 1335, 255, SS_LEFTNOWORDWRAP);
    // The folder being scanned: a long path loses its middle, not its end.
    place(ScanLabel::Label7, font_, 120, 720, 6615, 255, SS_PATHELLIPSIS);
    place(ScanLabel::Label4, font_, 1560, 1080, 5295, 255);
    Controls::rule(frame1_, 120, 1920, 6840);
    Controls::rule(frame1_, 120, 2400, 6840);
    Controls::rule(frame1_, 0, 1440, 6960);
    place(ScanLabel::Label2, font_, 240, 1560, 1575, 255);
    place(ScanLabel::Label3, font_, 2520, 1560, 2895, 255);
    place(ScanLabel::Label5, font_, 240, 2040, 2895, 255);
    place(ScanLabel::Label1, font_, 240, 2520, 2895, 255);

    command1_ = Controls::child("BUTTON", "", BS_PUSHBUTTON | WS_TABSTOP, window_, kCommand1, boldFont_, 7320, 120,
                                1695, 495);
    magnifier_ = Artwork::magnifier();
    Controls::picture(window_, 0, magnifier_, 9000, 120, 240, 240);
}

void ScanView::buildFindingArea()
{
    // Shape3, the list's frame, is the panel's outline.
    HWND frame2 = Controls::panel(window_, 120, 3120, 8895, 2655, 0, RGB(0, 0, 0));
    listView1_ = Controls::child(WC_LISTVIEWA, "", LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP,
                                 frame2, kListView1, font_, 120, 120, 8655, 2415, WS_EX_CLIENTEDGE);
    SendMessageA(listView1_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageA(listView1_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(Artwork::bugImageList()));
}

void ScanView::show()
{
    form_.load();
    sync();
    centreOnOwner();
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void ScanView::setCaption(const std::string& caption)
{
    SetWindowTextA(window_, caption.c_str());
}

void ScanView::stateChanged()
{
    if (syncPending_)
        return;
    syncPending_ = true;
    SetTimer(window_, kSyncTimer, kRepaintIntervalMs, nullptr);
}

void ScanView::processEvents()
{
    MessagePump::runPending();
}

void ScanView::hideWindow()
{
    ShowWindow(window_, SW_HIDE);
}

void ScanView::setScanRunning(bool running)
{
    MessagePump::hold(running);
}

void ScanView::sync()
{
    if (syncPending_)
        KillTimer(window_, kSyncTimer);
    syncPending_ = false;
    fitResult();
    for (std::size_t i = 0; i < labels_.size(); ++i)
        Controls::setText(labels_[i], form_.labelText(static_cast<ScanLabel>(i)));
    Controls::setText(command1_, form_.buttonCaption());
    syncList();
}

void ScanView::syncList()
{
    if (form_.listGeneration() != shownGeneration_) {
        // The rows leave the list unselected: no user's doing, and the form has
        // dropped them already.
        applyingForm_ = true;
        SendMessageA(listView1_, LVM_DELETEALLITEMS, 0, 0);
        applyingForm_ = false;
        while (SendMessageA(listView1_, LVM_DELETECOLUMN, 0, 0))
            continue;
        shownRows_.clear();
        shownColumns_ = false;
        shownGeneration_ = form_.listGeneration();
    }
    if (form_.hasColumns() && !shownColumns_) {
        RECT inside;
        GetClientRect(listView1_, &inside);
        const int half = ViewLayout::FindingColumnWidth(inside.right, GetSystemMetrics(SM_CXVSCROLL));
        const std::string names[] = {"Virus Name", "Filename"};
        for (int i = 0; i < 2; ++i) {
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.pszText = itemText(names[i]);
            column.cx = half;
            column.iSubItem = i;
            SendMessageA(listView1_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        }
        shownColumns_ = true;
    }

    const std::vector<Finding>& rows = form_.findings();
    for (std::size_t i = 0; i < shownRows_.size(); ++i) {
        const Finding& row = rows[i];
        Finding& shown = shownRows_[i];
        LVITEMA item{};
        item.iItem = static_cast<int>(i);
        if (row.VirusName != shown.VirusName || row.IconKey != shown.IconKey) {
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.pszText = itemText(row.VirusName.text());
            item.iImage = Artwork::bugImage(row.IconKey);
            SendMessageA(listView1_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
        if (row.FullPath != shown.FullPath) {
            item.iSubItem = 1;
            item.pszText = itemText(row.FullPath);
            SendMessageA(listView1_, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        }
        shown = row;
    }
    for (std::size_t i = shownRows_.size(); i < rows.size(); ++i)
        insertRow(i, rows[i]);
}

void ScanView::insertRow(std::size_t index, const Finding& finding)
{
    applyingForm_ = true;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
    item.iItem = static_cast<int>(index);
    item.pszText = itemText(finding.VirusName.text());
    item.iImage = Artwork::bugImage(finding.IconKey);
    item.state = finding.Selected ? LVIS_SELECTED : 0;
    item.stateMask = LVIS_SELECTED;
    SendMessageA(listView1_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = itemText(finding.FullPath);
    SendMessageA(listView1_, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
    applyingForm_ = false;
    shownRows_.push_back(finding);
}

void ScanView::fitResult()
{
    // The final message is longer than the design's label: it grows to the
    // right inside Frame1, where nothing else stands, and never wraps.
    HWND result = labels_[static_cast<std::size_t>(ScanLabel::Label6)];
    RECT frame;
    GetClientRect(frame1_, &frame);
    const int room = frame.right - px(120) - 2;
    const int width = ViewLayout::FittedWidth(Controls::textWidth(result, boldFont_, form_.labelText(ScanLabel::Label6)),
                                              px(1335), room);
    SetWindowPos(result, nullptr, 0, 0, width, px(255), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(result, nullptr, TRUE);
}

void ScanView::forwardSelection(int item, UINT oldState, UINT newState)
{
    if (applyingForm_)
        return;
    const bool selected = (newState & LVIS_SELECTED) != 0;
    if (((oldState ^ newState) & LVIS_SELECTED) != 0) {
        if (item < 0) {
            for (std::size_t row = 1; row <= shownRows_.size(); ++row)
                form_.selectFinding(row, selected);
        } else if (static_cast<std::size_t>(item) < shownRows_.size()) {
            form_.selectFinding(static_cast<std::size_t>(item) + 1, selected);
        }
    }
    // The clicked row is the one the user made selected last.
    if (item >= 0 && static_cast<std::size_t>(item) < shownRows_.size() && selected && (newState & LVIS_FOCUSED) != 0 && (oldState & LVIS_FOCUSED) == 0)
        form_.selectFinding(static_cast<std::size_t>(item) + 1, true);
}

void ScanView::rightReleased(int item)
{
    // A right press selects the row under the pointer; on a row that already
    // was selected it still makes that row the menu's.
    if (item >= 0 && (SendMessageA(listView1_, LVM_GETITEMSTATE, item, LVIS_SELECTED) & LVIS_SELECTED) != 0)
        form_.selectFinding(static_cast<std::size_t>(item) + 1, true);
    const DWORD position = GetMessagePos();
    popUpMenu(form_.ListView1_MouseUp(MouseButton::Right),
              POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))});
}

void ScanView::menuKey()
{
    // The keyboard's menu is for the focused row, as a right press makes the
    // row under the pointer the menu's; without one it is for the row selected last.
    int row = static_cast<int>(SendMessageA(listView1_, LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
    if (row >= 0) {
        if ((SendMessageA(listView1_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) == 0) {
            LVITEMA state{};
            state.stateMask = LVIS_SELECTED;
            SendMessageA(listView1_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
            state.state = LVIS_SELECTED;
            SendMessageA(listView1_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
        }
        form_.selectFinding(static_cast<std::size_t>(row) + 1, true);
    } else {
        row = static_cast<int>(form_.selectedRow()) - 1;
    }
    POINT place{0, 0};
    if (row >= 0) {
        SendMessageA(listView1_, LVM_ENSUREVISIBLE, row, FALSE);
        RECT bounds{};
        bounds.left = LVIR_LABEL;
        if (SendMessageA(listView1_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds)))
            place = POINT{bounds.left, bounds.bottom};
    }
    ClientToScreen(listView1_, &place);
    // The key stands for the right button, released over that row.
    popUpMenu(form_.ListView1_MouseUp(MouseButton::Right), place);
}

void ScanView::popUpMenu(const std::optional<BadGuyMenu>& menu, POINT screenPosition)
{
    if (!menu)
        return;
    EnableMenuItem(badguymenu_, kDeleteThisFile, MF_BYCOMMAND | (menu->deleteUsable ? MF_ENABLED : MF_GRAYED));
    // The chosen entry's handler runs before the popup call returns.
    const auto chosen = TrackPopupMenu(badguymenu_, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, screenPosition.x,
                                       screenPosition.y, 0, window_, nullptr);
    if (chosen == kDeleteThisFile)
        form_.mnuDeletethisFile_Click();
    else if (chosen == kOpenFolder)
        form_.mnuOpenFolder_Click();
}

void ScanView::centreOnOwner()
{
    const auto box = [](const RECT& r) { return ViewLayout::Box{r.left, r.top, r.right - r.left, r.bottom - r.top}; };
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT owner;
    const bool hasOwner = owner_ && IsWindowVisible(owner_) && GetWindowRect(owner_, &owner);
    const ViewLayout::Box ownerBox = hasOwner ? box(owner) : ViewLayout::Box{};
    RECT own;
    GetWindowRect(window_, &own);
    const ViewLayout::Place place =
        ViewLayout::CentredOn(hasOwner ? &ownerBox : nullptr, own.right - own.left, own.bottom - own.top, box(work));
    SetWindowPos(window_, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT ScanView::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // Enter on the focused button and Esc come from the dialog manager as
        // IDOK and IDCANCEL; Esc is the Cancel button's key, and Close's after the run.
        if ((LOWORD(wParam) == kCommand1 && HIWORD(wParam) == BN_CLICKED) || LOWORD(wParam) == IDCANCEL ||
            (LOWORD(wParam) == IDOK && GetFocus() == command1_))
            form_.Command1_Click();
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == listView1_)
            return listNotification(*header);
        break;
    }
    case WM_CONTEXTMENU:
        // From the keyboard; the mouse's right button is handled at its release.
        // Windows names the list; Wine names the panel that holds it.
        if (lParam == -1 && GetFocus() == listView1_ &&
            (reinterpret_cast<HWND>(wParam) == listView1_ || IsChild(reinterpret_cast<HWND>(wParam), listView1_)))
            menuKey();
        return 0;
    case WM_TIMER:
        if (wParam == kSyncTimer)
            sync();
        return 0;
    case WM_ACTIVATE:
        // The control that had the keyboard gets it back when the window does.
        if (LOWORD(wParam) == WA_INACTIVE && IsChild(window_, GetFocus()))
            lastFocus_ = GetFocus();
        break;
    case WM_SETFOCUS:
        SetFocus(lastFocus_ && IsWindowEnabled(lastFocus_) ? lastFocus_ : command1_);
        return 0;
    case WM_CLOSE:
        form_.Form_Unload();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT ScanView::listNotification(const NMHDR& header)
{
    switch (header.code) {
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) != 0)
            forwardSelection(change.iItem, change.uOldState, change.uNewState);
        return 0;
    }
    case NM_CLICK:
        popUpMenu(form_.ListView1_MouseUp(MouseButton::Left), POINT{});
        return 0;
    case NM_RCLICK:
        rightReleased(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
        // Handled: the list sends no WM_CONTEXTMENU for this click.
        return TRUE;
    default:
        return 0;
    }
}

}  // namespace ombrix
