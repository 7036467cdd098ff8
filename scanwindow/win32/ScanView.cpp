#include "ScanView.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "AccessibleControl.h"
#include "Artwork.h"
#include "Controls.h"
#include "MessagePump.h"
#include "ScanForm.h"
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
    const SIZE size = outerSizeForClient(kScanForm.clientWidth, kScanForm.clientHeight, kStyle, kExStyle);
    window_ = CreateWindowExA(kExStyle, kWindowClass, kScanForm.title, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx,
                              size.cy, owner, nullptr, GetModuleHandleA(nullptr), this);
    font_ = Controls::arial(kScanForm.fontPoints, false);
    boldFont_ = Controls::arial(kScanForm.fontPoints, true);
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

    buildControls();
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

HWND ScanView::build(const ControlDescription& description, HWND parent)
{
    const TwipsRect& r = description.rect;
    HFONT font = description.bold ? boldFont_ : font_;
    switch (description.kind) {
    case ControlKind::Panel: {
        // The window's one shape outlines its whole panel: the panel's own edge.
        bool outlined = false;
        for (const ControlDescription& shape : kScanControls) {
            if (shape.kind == ControlKind::Shape && description.name == std::string_view(shape.parent))
                outlined = true;
        }
        return outlined ? Controls::panel(parent, r.left, r.top, r.width, r.height, 0, RGB(0, 0, 0))
                        : Controls::panel(parent, r.left, r.top, r.width, r.height, EDGE_ETCHED);
    }
    case ControlKind::Picture: {
        HBITMAP bitmap = std::string_view(description.text) == "banner"
                             ? (banner_ = Artwork::banner(px(r.width), px(r.height)))
                             : (magnifier_ = Artwork::magnifier());
        return Controls::picture(parent, 0, bitmap, r.left, r.top, r.width, r.height);
    }
    case ControlKind::Label:
    case ControlKind::Value: {
        const auto index = static_cast<std::size_t>(*ScanViewEvents::labelOf(description.name));
        // The result line grows to the right, never wraps; a path loses its middle, not its end.
        const DWORD style = static_cast<ScanLabel>(index) == ScanLabel::Label6 ? SS_LEFTNOWORDWRAP
                            : description.path                                 ? SS_PATHELLIPSIS
                                                                               : 0;
        labels_[index] = Controls::label(parent, kFirstLabel + static_cast<int>(index), "", font, r.left, r.top,
                                         r.width, r.height, style);
        return labels_[index];
    }
    case ControlKind::Rule:
        return Controls::rule(parent, r.left, r.top, r.left + r.width);
    case ControlKind::Button:
        command1_ = Controls::child("BUTTON", "", BS_PUSHBUTTON | WS_TABSTOP, parent, kCommand1, font, r.left, r.top,
                                    r.width, r.height);
        return command1_;
    case ControlKind::List:
        listView1_ = Controls::child(WC_LISTVIEWA, "", LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP,
                                     parent, kListView1, font, r.left, r.top, r.width, r.height, WS_EX_CLIENTEDGE);
        SendMessageA(listView1_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        SendMessageA(listView1_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(Artwork::bugImageList()));
        return listView1_;
    default:
        // Shapes are the panels' edges.
        return nullptr;
    }
}

void ScanView::buildControls()
{
    // Created in the table's order, which is also the order Tab follows.
    std::unordered_map<std::string_view, HWND> panels;
    for (const ControlDescription& description : kScanControls) {
        HWND control = build(description, *description.parent ? panels.at(description.parent) : window_);
        AccessibleControl::describe(control, description);
        if (description.kind == ControlKind::Panel)
            panels.emplace(description.name, control);
        if (control)
            names_.emplace(control, description.name);
    }
    frame1_ = panels.at("Frame1");
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
    const FindingListMirror::Changes changes = mirror_.catchUp(form_);
    if (changes.restarted) {
        // The rows leave the list unselected: no user's doing, and the form has
        // dropped them already.
        const ScanViewEvents::ShowingForm showing(events_);
        SendMessageA(listView1_, LVM_DELETEALLITEMS, 0, 0);
        while (SendMessageA(listView1_, LVM_DELETECOLUMN, 0, 0))
            continue;
    }
    if (changes.restarted && form_.hasColumns()) {
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
    }
    const std::vector<Finding>& rows = form_.findings();
    for (std::size_t i : changes.changedRows)
        showRow(i, rows[i], false);
    for (std::size_t i = changes.firstNewRow; i < rows.size(); ++i)
        showRow(i, rows[i], true);
}

void ScanView::showRow(std::size_t index, const Finding& finding, bool added)
{
    // A new row comes with the selection the form gave it.
    const ScanViewEvents::ShowingForm showing(events_);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | (added ? LVIF_STATE : 0);
    item.iItem = static_cast<int>(index);
    item.pszText = itemText(finding.VirusName.text());
    item.iImage = Artwork::bugImage(finding.IconKey);
    item.state = finding.Selected ? LVIS_SELECTED : 0;
    item.stateMask = LVIS_SELECTED;
    SendMessageA(listView1_, added ? LVM_INSERTITEMA : LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = itemText(finding.FullPath);
    SendMessageA(listView1_, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
}

void ScanView::fitResult()
{
    // The final message is longer than the design's label: it grows to the
    // right inside Frame1, where nothing else stands, and never wraps.
    HWND result = labels_[static_cast<std::size_t>(ScanLabel::Label6)];
    RECT frame;
    GetClientRect(frame1_, &frame);
    const int room = frame.right - px(120) - 2;
    const int width = ViewLayout::FittedWidth(Controls::textSize(result, boldFont_, form_.labelText(ScanLabel::Label6)).cx,
                                              px(kScanForm.control("Label6").rect.width), room);
    SetWindowPos(result, nullptr, 0, 0, width, px(255), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(result, nullptr, TRUE);
}

void ScanView::forwardSelection(int item, UINT oldState, UINT newState)
{
    const bool selected = (newState & LVIS_SELECTED) != 0;
    if (((oldState ^ newState) & LVIS_SELECTED) != 0) {
        // Item -1 stands for every row.
        const int last = item < 0 ? static_cast<int>(mirror_.shownRows()) - 1 : item;
        for (int row = std::max(item, 0); row <= last; ++row)
            events_.rowSelected(row, selected);
    }
    // The clicked row is the one the user made selected last.
    if (selected && (newState & LVIS_FOCUSED) != 0 && (oldState & LVIS_FOCUSED) == 0)
        events_.rowSelected(item, true);
}

void ScanView::rightReleased(int item)
{
    // A right press selects the row under the pointer; on a row that already
    // was selected it still makes that row the menu's.
    if (item >= 0 && (SendMessageA(listView1_, LVM_GETITEMSTATE, item, LVIS_SELECTED) & LVIS_SELECTED) != 0)
        events_.rowSelected(item, true);
    const DWORD position = GetMessagePos();
    popUpMenu(form_.ListView1_MouseUp(MouseButton::Right),
              POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))});
}

void ScanView::menuKey()
{
    const int focused = static_cast<int>(SendMessageA(listView1_, LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
    const bool selected =
        focused >= 0 && (SendMessageA(listView1_, LVM_GETITEMSTATE, focused, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    const int row = events_.menuKey(focused, selected, [this](int only) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED;
        SendMessageA(listView1_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
        state.state = LVIS_SELECTED;
        SendMessageA(listView1_, LVM_SETITEMSTATE, only, reinterpret_cast<LPARAM>(&state));
    });
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
        // Enter and Esc come from the dialog manager as IDOK and IDCANCEL.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            const auto focus = names_.find(GetFocus());
            events_.key(focus == names_.end() ? "" : focus->second,
                        LOWORD(wParam) == IDOK ? FormKey::Enter : FormKey::Escape);
        } else if (LOWORD(wParam) == kCommand1 && HIWORD(wParam) == BN_CLICKED) {
            form_.Command1_Click();
        }
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
