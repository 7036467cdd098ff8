#include "MainViewEvents.h"

#include "MainForm.h"
#include "frmMain.h"

namespace ombrix {

namespace {

// The handlers of the controls a click acts on; a link's icon has its own,
// which does what the link does.
constexpr std::pair<std::string_view, void (frmMain::*)()> kClickHandlers[] = {
    {"Label6", &frmMain::Label6_Click},
    {"Image3", &frmMain::Image3_Click},
    {"Label12", &frmMain::Label12_Click},
    {"Image6", &frmMain::Image6_Click},
};

}  // namespace

void MainViewEvents::click(std::string_view name)
{
    const ControlDescription* control = kMainForm.find(name);
    if (!control)
        return;
    // An option's text stands for its box.
    if (control->kind == ControlKind::Label && *control->partner)
        control = &kMainForm.control(control->partner);
    if (control->kind == ControlKind::CheckBox) {
        // Grey looks half on yet removes nothing: it comes only from a stored
        // value, and a click toggles between ticked and cleared.
        std::int16_t& value = optionValue(control->name);
        value = value == 1 ? 0 : 1;
        return;
    }
    for (const auto& [handled, handler] : kClickHandlers) {
        if (handled == control->name)
            (form_.*handler)();
    }
}

bool MainViewEvents::key(std::string_view focus, FormKey key)
{
    const ControlDescription* control = kMainForm.find(focus);
    if (key != FormKey::Enter || !control)
        return false;
    // Enter on a tree entry does what a double click does; on a link, what a click does.
    if (control->kind == ControlKind::Tree) {
        treeActivated();
        return true;
    }
    if (control->kind == ControlKind::Link) {
        click(control->name);
        return true;
    }
    return false;
}

void MainViewEvents::treeSelected(const std::string& key)
{
    // Whatever moves the highlight (a click, the arrows, typing a name) sets
    // what the next scan covers.
    form_.TreeView1.select(key);
    form_.TreeView1_Click();
}

void MainViewEvents::treeExpanded(const std::string& key, bool expanded)
{
    if (TreeEntry* entry = form_.TreeView1.find(key))
        entry->expanded = expanded;
}

void MainViewEvents::treeActivated()
{
    form_.TreeView1_DblClick();
}

std::int16_t MainViewEvents::option(std::string_view name) const
{
    return optionValue(name);
}

std::int16_t& MainViewEvents::optionValue(std::string_view name) const
{
    if (name == "Check1")
        return form_.Check1;
    return name == "Check2" ? form_.Check2 : form_.Check3;
}

const std::string& MainViewEvents::value(std::string_view name) const
{
    if (name == "Label7")
        return form_.Label7;
    if (name == "Label8")
        return form_.Label8;
    return name == "Label9" ? form_.Label9 : form_.Label11;
}

bool MainViewEvents::startsScan(std::string_view name)
{
    const ControlDescription* control = kMainForm.find(name);
    return control && (name == "Label6" || std::string_view(control->partner) == "Label6");
}

std::string MainViewEvents::scanWaitReason() const
{
    // A scan whose window was closed may still be winding down; a second one
    // cannot start until it ends.
    return form_.scanWindow().scanRunning() ? "A scan is finishing" : "";
}

}  // namespace ombrix
