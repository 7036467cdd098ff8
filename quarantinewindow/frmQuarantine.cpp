#include "frmQuarantine.h"

#include <algorithm>
#include <tuple>

#include "AsciiFold.h"
#include "EntryTexts.h"
#include "FolderOfPath.h"

namespace ombrix {

namespace {

std::size_t indexOf(QuarantineColumn column)
{
    return static_cast<std::size_t>(column);
}

QuarantineRow rowFor(const quarantine::Entry& entry)
{
    QuarantineRow row{entry, {}};
    row.texts[indexOf(QuarantineColumn::Name)] = fileNameOf(entry.originalPath);
    row.texts[indexOf(QuarantineColumn::Folder)] = FolderOfPath(entry.originalPath);
    row.texts[indexOf(QuarantineColumn::Threat)] = entry.threat;
    row.texts[indexOf(QuarantineColumn::Date)] = takenText(entry.takenAt);
    row.texts[indexOf(QuarantineColumn::Size)] = sizeText(entry.size);
    return row;
}

// The name in double quotes, as the window's questions and messages show it.
std::string quoted(const std::string& name)
{
    std::string text(1, '"');
    text.append(name).push_back('"');
    return text;
}

std::string countText(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " file" : " files");
}

// Texts compare as the user reads them, letter case aside; numbers by value.
int compare(const QuarantineRow& a, const QuarantineRow& b, QuarantineColumn column)
{
    const auto order = [](const auto& x, const auto& y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (column) {
    case QuarantineColumn::Date:
        return order(a.entry.takenAt, b.entry.takenAt);
    case QuarantineColumn::Size:
        return order(a.entry.size, b.entry.size);
    default: {
        const std::string& x = a.texts[indexOf(column)];
        const std::string& y = b.texts[indexOf(column)];
        const auto before = [](char p, char q) {
            return static_cast<unsigned char>(foldAscii(p)) < static_cast<unsigned char>(foldAscii(q));
        };
        if (std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), before))
            return -1;
        return std::lexicographical_compare(y.begin(), y.end(), x.begin(), x.end(), before) ? 1 : 0;
    }
    }
}

}  // namespace

frmQuarantine::frmQuarantine(QuarantineAccess& quarantine, Questions& questions, MessageBox& messages,
                             FileManager& fileManager)
    : quarantine_(quarantine), questions_(questions), messages_(messages), fileManager_(fileManager)
{
}

void frmQuarantine::refresh()
{
    rows_.clear();
    std::uint64_t total = 0;
    std::set<std::string> present;
    for (const quarantine::Entry& entry : quarantine_.list()) {
        rows_.push_back(rowFor(entry));
        total += entry.size;
        present.insert(entry.id);
    }
    std::erase_if(selected_, [&](const std::string& id) { return !present.contains(id); });
    if (!present.contains(current_))
        current_.clear();
    status_ = rows_.empty() ? "The quarantine is empty."
                            : countText(rows_.size()) + " in quarantine, " + sizeText(total) + ".";
    sortRows();
}

bool frmQuarantine::enabled(QuarantineControl control) const
{
    switch (control) {
    case QuarantineControl::Command1:
    case QuarantineControl::Command2:
    case QuarantineControl::Command3:
        return !selected_.empty();
    default:
        return true;
    }
}

void frmQuarantine::sortBy(QuarantineColumn column)
{
    if (column == sortColumn_) {
        descending_ = !descending_;
    } else {
        sortColumn_ = column;
        descending_ = column == QuarantineColumn::Date || column == QuarantineColumn::Size;
    }
    sortRows();
}

void frmQuarantine::sortRows()
{
    // Ties go newest first, then by id, so equal rows keep one order.
    std::stable_sort(rows_.begin(), rows_.end(), [this](const QuarantineRow& a, const QuarantineRow& b) {
        const int by = compare(a, b, sortColumn_);
        if (by != 0)
            return descending_ ? by > 0 : by < 0;
        return std::tie(b.entry.takenAt, a.entry.id) < std::tie(a.entry.takenAt, b.entry.id);
    });
    ++generation_;
}

void frmQuarantine::select(std::size_t row, bool selected)
{
    if (selected)
        selected_.insert(rows_.at(row).entry.id);
    else
        selected_.erase(rows_.at(row).entry.id);
}

bool frmQuarantine::isSelected(std::size_t row) const
{
    return selected_.contains(rows_.at(row).entry.id);
}

void frmQuarantine::setCurrentRow(std::optional<std::size_t> row)
{
    current_ = row ? rows_.at(*row).entry.id : std::string();
}

std::optional<std::size_t> frmQuarantine::currentRow() const
{
    return current_.empty() ? std::nullopt : rowOf(current_);
}

std::optional<std::size_t> frmQuarantine::rowOf(const std::string& id) const
{
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row].entry.id == id)
            return row;
    }
    return std::nullopt;
}

void frmQuarantine::click(QuarantineControl control)
{
    if (!enabled(control))
        return;
    if (control == QuarantineControl::Command1)
        Restore_Click();
    else if (control == QuarantineControl::Command2)
        Delete_Click();
    else if (control == QuarantineControl::Command3)
        OpenFolder_Click();
}

bool frmQuarantine::keyPressed(FormKey key)
{
    switch (key) {
    case FormKey::Enter:
        click(QuarantineControl::Command1);
        return false;
    case FormKey::Delete:
        click(QuarantineControl::Command2);
        return false;
    case FormKey::Menu:
        return menuRequested();
    case FormKey::Refresh:
        refresh();
        return false;
    case FormKey::Escape:
        // It closes the window, which is the view's to do.
        return false;
    }
    return false;
}

bool frmQuarantine::menuRequested()
{
    if (const auto row = currentRow())
        select(*row, true);
    return !selected_.empty();
}

std::vector<quarantine::Entry> frmQuarantine::selectedEntries() const
{
    std::vector<quarantine::Entry> entries;
    for (const QuarantineRow& row : rows_) {
        if (selected_.contains(row.entry.id))
            entries.push_back(row.entry);
    }
    return entries;
}

void frmQuarantine::Restore_Click()
{
    for (const quarantine::Entry& entry : selectedEntries())
        restoreOne(entry);
    refresh();
}

void frmQuarantine::restoreOne(const quarantine::Entry& entry)
{
    const std::string name = quoted(fileNameOf(entry.originalPath));
    quarantine::RestoreOptions options;
    for (;;) {
        const quarantine::Result result = quarantine_.restore(entry.id, options);
        const std::string path = options.to.value_or(entry.originalPath);
        switch (result.outcome) {
        case quarantine::Outcome::Done:
        case quarantine::Outcome::NoSuchEntry:  // restored or deleted meanwhile by someone else
            return;
        case quarantine::Outcome::PathTaken:
            // Never over what stands there now: the user names another place.
            options.to = questions_.saveAs("Restore " + name + " as", path);
            if (!options.to)
                return;
            break;
        case quarantine::Outcome::NoParent: {
            const std::string folder = quoted(FolderOfPath(path));
            if (options.makeParents) {
                messages_.show(name + " could not be restored: the folder " + folder + " could not be made.");
                return;
            }
            if (!questions_.confirm("The folder " + folder + " no longer exists. Create it again and restore " +
                                    name + " there?"))
                return;
            options.makeParents = true;
            break;
        }
        case quarantine::Outcome::Failed:
            messages_.show(name + " could not be restored: " + result.why);
            return;
        }
    }
}

void frmQuarantine::Delete_Click()
{
    const std::vector<quarantine::Entry> entries = selectedEntries();
    const std::string question =
        entries.size() == 1
            ? "Delete " + quoted(fileNameOf(entries.front().originalPath)) + " for good? It cannot be restored afterwards."
            : "Delete " + countText(entries.size()) + " for good? They cannot be restored afterwards.";
    if (!questions_.confirm(question))
        return;
    for (const quarantine::Entry& entry : entries) {
        const quarantine::Result result = quarantine_.remove(entry.id);
        if (result.outcome == quarantine::Outcome::Failed)
            messages_.show(quoted(fileNameOf(entry.originalPath)) + " could not be deleted: " + result.why);
    }
    refresh();
}

void frmQuarantine::OpenFolder_Click()
{
    const auto current = currentRow();
    const std::vector<quarantine::Entry> entries = selectedEntries();
    const std::string& path =
        current && isSelected(*current) ? rows_[*current].entry.originalPath : entries.front().originalPath;
    fileManager_.open(FolderOfPath(path));
}

}  // namespace ombrix
