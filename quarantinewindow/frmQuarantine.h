#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "FileManager.h"
#include "FormKey.h"
#include "MessageBox.h"
#include "QuarantineAccess.h"
#include "QuarantineForm.h"
#include "Questions.h"

namespace ombrix {

// One row of the list: the entry and the texts of its five columns.
struct QuarantineRow {
    quarantine::Entry entry;
    std::array<std::string, kQuarantineColumns.size()> texts;
};

// The popup menu's entries: the same actions as the buttons, in this order.
inline constexpr std::array<QuarantineControl, 3> kQuarantineMenu = {
    QuarantineControl::Command1, QuarantineControl::Command2, QuarantineControl::Command3};

// The state and handlers of "Ombrix Quarantine", without any widget. A view
// shows rows(), statusText() and enabled(), forwards the user's clicks, keys,
// header clicks and selection here, and shows the state again afterwards.
class frmQuarantine {
public:
    frmQuarantine(QuarantineAccess& quarantine, Questions& questions, MessageBox& messages,
                  FileManager& fileManager);
    frmQuarantine(const frmQuarantine&) = delete;
    frmQuarantine& operator=(const frmQuarantine&) = delete;

    // Reads the quarantine again. Selected entries that are still there stay selected.
    void refresh();

    // The rows in the order shown: by the sort column, newest first at the start.
    const std::vector<QuarantineRow>& rows() const { return rows_; }
    // Grows whenever rows() is rebuilt, so a view knows to start over.
    std::uint64_t listGeneration() const { return generation_; }
    const std::string& statusText() const { return status_; }
    // The buttons act on the selection: usable only while there is one.
    bool enabled(QuarantineControl control) const;

    QuarantineColumn sortColumn() const { return sortColumn_; }
    bool sortDescending() const { return descending_; }
    // A click on a column's header: sorts by it, or turns the order round when
    // it already sorts. Dates and sizes start with the newest and largest.
    void sortBy(QuarantineColumn column);

    // Selection by row of rows(), from 0.
    void select(std::size_t row, bool selected);
    bool isSelected(std::size_t row) const;
    std::size_t selectedCount() const { return selected_.size(); }
    // The row the keyboard is on (focus), if any: the menu and Open Folder act on it.
    void setCurrentRow(std::optional<std::size_t> row);
    std::optional<std::size_t> currentRow() const;

    // A button, or the menu entry of the same action.
    void click(QuarantineControl control);
    // A key in the list. Returns true when the popup menu is to open.
    bool keyPressed(FormKey key);
    // The menu key or a right click: the current row joins the selection, as a
    // right press selects the row under the pointer. True when the menu has
    // something to act on.
    bool menuRequested();

private:
    void Restore_Click();
    void Delete_Click();
    void OpenFolder_Click();
    void restoreOne(const quarantine::Entry& entry);
    std::vector<quarantine::Entry> selectedEntries() const;
    void sortRows();
    std::optional<std::size_t> rowOf(const std::string& id) const;

    QuarantineAccess& quarantine_;
    Questions& questions_;
    MessageBox& messages_;
    FileManager& fileManager_;

    std::vector<QuarantineRow> rows_;
    std::uint64_t generation_ = 0;
    std::string status_;
    QuarantineColumn sortColumn_ = QuarantineColumn::Date;
    bool descending_ = true;
    // By entry id, so the selection outlives sorting and refreshing.
    std::set<std::string> selected_;
    std::string current_;
};

}  // namespace ombrix
