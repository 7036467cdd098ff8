#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "FormKey.h"

namespace ombrix {

class frmMain;

// What the main window does with the user's input, for both views: they
// deliver it as controls' names from kMainForm, tree keys and keys, and show
// the form again afterwards.
class MainViewEvents {
public:
    explicit MainViewEvents(frmMain& form) : form_(form) {}

    // A click on the control `name`, by the mouse or the keyboard.
    void click(std::string_view name);
    // `key` pressed while the control `focus` holds the keyboard; true when it acted.
    bool key(std::string_view focus, FormKey key);
    // The tree's highlight moved to the entry `key`.
    void treeSelected(const std::string& key);
    void treeExpanded(const std::string& key, bool expanded);
    // A double click on the tree's highlighted entry.
    void treeActivated();

    // The value the check box `name` shows.
    std::int16_t option(std::string_view name) const;
    // The text the value label `name` shows.
    const std::string& value(std::string_view name) const;
    // Whether a click on the control `name` starts a scan.
    static bool startsScan(std::string_view name);
    // Why a scan cannot start now; empty when it can.
    std::string scanWaitReason() const;

private:
    std::int16_t& optionValue(std::string_view name) const;

    frmMain& form_;
};

}  // namespace ombrix
