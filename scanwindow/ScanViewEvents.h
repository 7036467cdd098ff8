#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "ScanWindow.h"
#include "FormKey.h"
#include "frmScan.h"

namespace ombrix {

// What the scan window does with the user's input, for both views: they
// deliver it as controls' names from kScanForm, list rows (from 0) and keys,
// and show the form again afterwards.
class ScanViewEvents {
public:
    explicit ScanViewEvents(frmScan& form) : form_(form) {}

    // `key` pressed while the control `focus` holds the keyboard; true when it acted.
    bool key(std::string_view focus, FormKey key);

    // The list shows `row` (un)selected now. Selecting the row a click or a
    // right press is on makes it the menu's, as the one selected last.
    // Changes the view makes itself, showing the form, are not the user's.
    void rowSelected(int row, bool selected);
    // The Menu key or Shift+F10 on the list whose current row is `current`
    // (-1 for none), shown as `currentSelected`. `selectOnly(row)` makes a row
    // the list's one selection. Returns the row the menu opens at, -1 for the
    // list's corner.
    int menuKey(int current, bool currentSelected, const std::function<void(int)>& selectOnly);

    // While one lives, the view is showing the form's own selection.
    class ShowingForm {
    public:
        explicit ShowingForm(ScanViewEvents& events) : events_(events) { events_.showingForm_ = true; }
        ~ShowingForm() { events_.showingForm_ = false; }
        ShowingForm(const ShowingForm&) = delete;
        ShowingForm& operator=(const ShowingForm&) = delete;

    private:
        ScanViewEvents& events_;
    };

    // The label a control of the form shows; none for a control that is not one.
    static std::optional<ScanLabel> labelOf(std::string_view name);

private:
    frmScan& form_;
    bool showingForm_ = false;
};

}  // namespace ombrix
