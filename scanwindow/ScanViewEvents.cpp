#include "ScanViewEvents.h"

#include "ScanForm.h"

namespace ombrix {

bool ScanViewEvents::key(std::string_view focus, FormKey key)
{
    // Enter on the button presses it; Esc is the button's key wherever the
    // keyboard is: Cancel during the run, Close after it.
    const ControlDescription* control = kScanForm.find(focus);
    const bool onButton = control && control->kind == ControlKind::Button;
    if (key == FormKey::Escape || (key == FormKey::Enter && onButton)) {
        form_.Command1_Click();
        return true;
    }
    return false;
}

void ScanViewEvents::rowSelected(int row, bool selected)
{
    if (showingForm_ || row < 0 || static_cast<std::size_t>(row) >= form_.findings().size())
        return;
    form_.selectFinding(static_cast<std::size_t>(row) + 1, selected);
}

int ScanViewEvents::menuKey(int current, bool currentSelected, const std::function<void(int)>& selectOnly)
{
    // The keyboard's menu is for the current row, as a right press makes the
    // row under the pointer the menu's; without one it is for the row
    // selected last.
    if (current < 0)
        return static_cast<int>(form_.selectedRow()) - 1;
    if (!currentSelected)
        selectOnly(current);
    rowSelected(current, true);
    return current;
}

std::optional<ScanLabel> ScanViewEvents::labelOf(std::string_view name)
{
    // Label1 ... Label7, as the run numbers them.
    if (name.size() != 6 || !name.starts_with("Label") || name[5] < '1' || name[5] > '7')
        return std::nullopt;
    return static_cast<ScanLabel>(name[5] - '1');
}

}  // namespace ombrix
