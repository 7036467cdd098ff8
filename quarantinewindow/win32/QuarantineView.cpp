#include "QuarantineView.h"

#include <algorithm>
#include <vector>

#include "AccessibleControl.h"
#include "Artwork.h"
#include "Twips.h"

namespace ombrix {

namespace {

constexpr const char* kWindowClass = "OmbrixQuarantine";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

// Controls are numbered from here in the order of kQuarantineControls, menu
// entries after them; 1 and 2 are the dialog keys' IDOK and IDCANCEL.
constexpr int kFirstControl = 100;
constexpr int kFirstMenuEntry = 200;

int idOf(QuarantineControl control)
{
    return kFirstControl + static_cast<int>(control);
}

LPSTR itemText(const std::string& text)
{
    return const_cast<LPSTR>(text.c_str());
}

}  // namespace

void QuarantineView::registerWindowClass()
{
    Controls::registerViewClass<QuarantineView>(kWindowClass, [](int) { return Artwork::magnifierIcon(); });
}

QuarantineView::QuarantineView(frmQuarantine& form) : form_(form)
{
    registerWindowClass();
    const SIZE size = outerSizeForClient(kQuarantineForm.clientWidth, kQuarantineForm.clientHeight, kStyle, kExStyle);
    window_ = CreateWindowExA(kExStyle, kWindowClass, kQuarantineForm.title, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              size.cx, size.cy, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    font_ = Controls::arial(kQuarantineForm.fontPoints, false);
    boldFont_ = Controls::arial(kQuarantineForm.fontPoints, true);
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

    // Tab follows the order the controls are made in: those Tab passes over
    // first, then the stops by their place in the Tab order.
    std::vector<std::size_t> order(kQuarantineControls.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [](std::size_t a, std::size_t b) { return kQuarantineControls[a].tabIndex < kQuarantineControls[b].tabIndex; });
    for (const std::size_t i : order) {
        controls_[i] = build(kQuarantineControls[i], static_cast<QuarantineControl>(i));
        AccessibleControl::describe(controls_[i], kQuarantineControls[i]);
    }

    menu_ = CreatePopupMenu();
    for (std::size_t i = 0; i < kQuarantineMenu.size(); ++i)
        AppendMenuA(menu_, MF_STRING, kFirstMenuEntry + i, describe(kQuarantineMenu[i]).text);
}

QuarantineView::~QuarantineView()
{
    DestroyWindow(window_);
    DestroyMenu(menu_);
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(boldFont_), static_cast<HGDIOBJ>(banner_)})
        DeleteObject(object);
}

HWND QuarantineView::build(const ControlDescription& description, QuarantineControl control)
{
    const TwipsRect& at = description.rect;
    HFONT font = description.bold ? boldFont_ : font_;
    const DWORD tabStop = description.tabIndex >= 0 ? WS_TABSTOP : 0;
    switch (description.kind) {
    case ControlKind::Picture:
        banner_ = Artwork::banner(px(at.width), px(at.height));
        return Controls::picture(window_, idOf(control), banner_, at.left, at.top, at.width, at.height);
    case ControlKind::Label:
    default:  // the only other kind a window of text and buttons needs
        return Controls::label(window_, idOf(control), description.text, font, at.left, at.top, at.width, at.height,
                               SS_ENDELLIPSIS);
    case ControlKind::Button:
        return Controls::child("BUTTON", description.text, BS_PUSHBUTTON | tabStop, window_, idOf(control), font,
                               at.left, at.top, at.width, at.height);
    case ControlKind::List: {
        // A list shows no text of its own: its window text is its name for screen readers.
        HWND list = Controls::child(WC_LISTVIEWA, description.accessibleName,
                                    LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | tabStop, window_,
                                    idOf(control), font, at.left, at.top, at.width, at.height, WS_EX_CLIENTEDGE);
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(Artwork::bugImageList()));
        for (std::size_t i = 0; i < kQuarantineColumns.size(); ++i) {
            const ColumnDescription& described = kQuarantineColumns[i];
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
            column.fmt = described.alignRight && i > 0 ? LVCFMT_RIGHT : LVCFMT_LEFT;
            column.pszText = const_cast<LPSTR>(described.title);
            column.cx = px(described.width);
            column.iSubItem = static_cast<int>(i);
            SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        }
        return list;
    }
    }
    return nullptr;
}

void QuarantineView::show()
{
    form_.refresh();
    sync();
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT own;
    GetWindowRect(window_, &own);
    const LONG left = std::max(0L, (area.left + area.right - (own.right - own.left)) / 2);
    const LONG top = std::max(0L, (area.top + area.bottom - (own.bottom - own.top)) / 2);
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(control(QuarantineControl::ListView1));
}

void QuarantineView::sync()
{
    Controls::setText(control(QuarantineControl::Label1), form_.statusText());
    HWND focus = GetFocus();
    for (const QuarantineControl button : kQuarantineMenu)
        EnableWindow(control(button), form_.enabled(button));
    // A button that is greyed out gives the keyboard back to the list.
    if (focus && !IsWindowEnabled(focus))
        SetFocus(control(QuarantineControl::ListView1));
    syncList();
}

void QuarantineView::syncList()
{
    HWND list = control(QuarantineControl::ListView1);
    applyingForm_ = true;
    if (form_.listGeneration() != shownGeneration_) {
        shownGeneration_ = form_.listGeneration();
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        const auto& rows = form_.rows();
        for (std::size_t row = 0; row < rows.size(); ++row) {
            LVITEMA item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = static_cast<int>(row);
            item.pszText = itemText(rows[row].texts[0]);
            // A held file: neither found (red) nor gone (green).
            item.iImage = Artwork::bugImage("yellowbug");
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            for (std::size_t column = 1; column < rows[row].texts.size(); ++column) {
                item.iSubItem = static_cast<int>(column);
                item.pszText = itemText(rows[row].texts[column]);
                SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
            }
        }
        HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
        for (int column = 0; column < static_cast<int>(kQuarantineColumns.size()); ++column) {
            HDITEMA sort{};
            sort.mask = HDI_FORMAT;
            SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&sort));
            sort.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
            if (column == static_cast<int>(form_.sortColumn()))
                sort.fmt |= form_.sortDescending() ? HDF_SORTDOWN : HDF_SORTUP;
            SendMessageA(header, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&sort));
        }
    }
    const auto current = form_.currentRow();
    for (std::size_t row = 0; row < form_.rows().size(); ++row) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = (form_.isSelected(row) ? LVIS_SELECTED : 0) | (current == row ? LVIS_FOCUSED : 0);
        SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }
    applyingForm_ = false;
}

void QuarantineView::forwardSelection(const NMLISTVIEW& change)
{
    if (applyingForm_ || (change.uChanged & LVIF_STATE) == 0)
        return;
    const auto rows = form_.rows().size();
    const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
    if (((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0) {
        if (change.iItem < 0) {
            for (std::size_t row = 0; row < rows; ++row)
                form_.select(row, selected);
        } else if (static_cast<std::size_t>(change.iItem) < rows) {
            form_.select(static_cast<std::size_t>(change.iItem), selected);
        }
    }
    if (change.iItem >= 0 && static_cast<std::size_t>(change.iItem) < rows && (change.uNewState & LVIS_FOCUSED) != 0)
        form_.setCurrentRow(static_cast<std::size_t>(change.iItem));
    for (const QuarantineControl button : kQuarantineMenu)
        EnableWindow(control(button), form_.enabled(button));
}

void QuarantineView::popUpMenu(POINT screenPosition)
{
    sync();
    for (std::size_t i = 0; i < kQuarantineMenu.size(); ++i)
        EnableMenuItem(menu_, kFirstMenuEntry + i,
                       MF_BYCOMMAND | (form_.enabled(kQuarantineMenu[i]) ? MF_ENABLED : MF_GRAYED));
    const auto chosen = TrackPopupMenu(menu_, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, screenPosition.x,
                                       screenPosition.y, 0, window_, nullptr);
    if (chosen >= kFirstMenuEntry && chosen < kFirstMenuEntry + static_cast<int>(kQuarantineMenu.size())) {
        form_.click(kQuarantineMenu[static_cast<std::size_t>(chosen - kFirstMenuEntry)]);
        sync();
    }
}

void QuarantineView::popUpMenuAtCurrentRow()
{
    HWND list = control(QuarantineControl::ListView1);
    POINT place{0, 0};
    if (const auto row = form_.currentRow()) {
        SendMessageA(list, LVM_ENSUREVISIBLE, *row, FALSE);
        RECT bounds{};
        bounds.left = LVIR_LABEL;
        if (SendMessageA(list, LVM_GETITEMRECT, *row, reinterpret_cast<LPARAM>(&bounds)))
            place = POINT{bounds.left, bounds.bottom};
    }
    ClientToScreen(list, &place);
    popUpMenu(place);
}

LRESULT QuarantineView::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDCANCEL) {
            PostMessageA(window_, WM_CLOSE, 0, 0);
        } else if (id == IDOK) {
            // Enter: the dialog manager's default action. On a button it is that
            // button's click; in the list it restores.
            HWND focus = GetFocus();
            if (focus == control(QuarantineControl::ListView1))
                form_.keyPressed(FormKey::Enter);
            else if (const int focused = GetDlgCtrlID(focus); focused >= kFirstControl)
                form_.click(static_cast<QuarantineControl>(focused - kFirstControl));
            sync();
        } else if (id >= kFirstControl && id < kFirstControl + static_cast<int>(kQuarantineControls.size()) &&
                   HIWORD(wParam) == BN_CLICKED) {
            form_.click(static_cast<QuarantineControl>(id - kFirstControl));
            sync();
        }
        return 0;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == control(QuarantineControl::ListView1))
            return listNotification(*header);
        break;
    }
    case WM_CONTEXTMENU:
        // From the keyboard; a right click is handled where the list reports it.
        if (lParam == -1 && form_.keyPressed(FormKey::Menu))
            popUpMenuAtCurrentRow();
        return 0;
    case WM_SETFOCUS:
        SetFocus(control(QuarantineControl::ListView1));
        return 0;
    case WM_CLOSE:
        ShowWindow(window_, SW_HIDE);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT QuarantineView::listNotification(const NMHDR& header)
{
    switch (header.code) {
    case LVN_ITEMCHANGED:
        forwardSelection(reinterpret_cast<const NMLISTVIEW&>(header));
        return 0;
    case LVN_COLUMNCLICK:
        form_.sortBy(static_cast<QuarantineColumn>(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem));
        sync();
        return 0;
    case LVN_KEYDOWN: {
        const WORD key = reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
        if (key == VK_DELETE)
            form_.keyPressed(FormKey::Delete);
        else if (key == VK_F5)
            form_.keyPressed(FormKey::Refresh);
        else
            return 0;
        sync();
        return 0;
    }
    case NM_RCLICK:
        if (form_.menuRequested()) {
            const DWORD position = GetMessagePos();
            popUpMenu(POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))});
        }
        // Handled: the list sends no WM_CONTEXTMENU for this click.
        return TRUE;
    default:
        return 0;
    }
}

}  // namespace ombrix
