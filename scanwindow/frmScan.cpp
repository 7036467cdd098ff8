#include "frmScan.h"

#include "FolderOfPath.h"
#include "ScanSystem.h"
#include "Termination.h"
#include "mFileSearch.h"

namespace ombrix {

namespace {

constexpr std::array<const char*, 7> kDesignLabels = {
    "Fixed:  0",                 // Label1
    "Dirs:  0",                  // Label2
    "Files:  0",                 // Label3
    "Scanning for xxxx items.",  // Label4
    "Detected:  0",              // Label5
    "Current Item:",             // Label6
    "Current: 0",                // Label7
};

constexpr const char* kDesignCaption = "Cancel";

std::size_t indexOf(ScanLabel label)
{
    return static_cast<std::size_t>(label);
}

}  // namespace

frmScan::frmScan(MainWindowLink& mainWindow, MessageBox& messages, FileManager& fileManager)
    : mainWindow_(mainWindow), messages_(messages), fileManager_(fileManager)
{
    load();
}

void frmScan::load()
{
    if (loaded_)
        return;
    loaded_ = true;
    for (std::size_t i = 0; i < labels_.size(); ++i)
        labels_[i] = kDesignLabels[i];
    caption_ = kDesignCaption;
    hasColumns_ = false;
    rows_.clear();
    lastSelected_ = 0;
    ++listGeneration_;
    changed();
}

void frmScan::ScanSystem(std::string& drive, bool nomsg)
{
    running_ = true;
    closedWhileRunning_ = false;
    if (view_)
        view_->setScanRunning(true);
    lastScan_ = ombrix::ScanSystem(engineWindow_, drive, nomsg);
    running_ = false;
    // The user must not be left without a window: the run could not bring this
    // one back, so the main window returns (unless it is gone for good).
    if (closedWhileRunning_ && !mainWindow_.closedForGood())
        mainWindow_.showMainWindow();
    if (view_)
        view_->setScanRunning(false);
}

void frmScan::Command1_Click()
{
    if (caption_ == "Cancel")
        canceled = true;
    else
        Form_Unload();
}

void frmScan::Form_Unload()
{
    if (running_)
        closedWhileRunning_ = true;
    unload();
}

std::optional<BadGuyMenu> frmScan::ListView1_MouseUp(MouseButton button) const
{
    if (button != MouseButton::Right || rows_.empty())
        return std::nullopt;
    const std::size_t row = selectedRow();
    if (row == 0)
        return std::nullopt;
    return BadGuyMenu{mFileSearch::FileExists(rows_[row - 1].FullPath)};
}

void frmScan::mnuDeletethisFile_Click()
{
    const std::size_t row = selectedRow();
    if (row == 0)
        return;
    const std::string path = rows_[row - 1].FullPath;
    if (AutoRepair == 1)
        mFileSearch::DeleteFile(path, rows_[row - 1].VirusName.text());
    if (!mFileSearch::FileExists(path)) {
        rows_[row - 1].IconKey = "greenbug";
        changed();
    } else if (AutoRepair == 1) {
        messages_.show("Unable to kill this file");
    }
}

void frmScan::mnuOpenFolder_Click()
{
    const std::size_t row = selectedRow();
    if (row == 0)
        return;
    fileManager_.open(FolderOfPath(rows_[row - 1].FullPath));
}

const std::string& frmScan::labelText(ScanLabel label) const
{
    return labels_[indexOf(label)];
}

std::size_t frmScan::selectedRow() const
{
    if (lastSelected_ != 0 && rows_[lastSelected_ - 1].Selected)
        return lastSelected_;
    for (std::size_t row = rows_.size(); row > 0; --row) {
        if (rows_[row - 1].Selected)
            return row;
    }
    return 0;
}

void frmScan::selectFinding(std::size_t row, bool selected)
{
    rows_[row - 1].Selected = selected;
    if (selected)
        lastSelected_ = row;
    else if (lastSelected_ == row)
        lastSelected_ = 0;
}

void frmScan::unload()
{
    loaded_ = false;
    if (view_)
        view_->hideWindow();
    if (showmain_)
        mainWindow_.showMainWindow();
}

void frmScan::changed()
{
    if (view_)
        view_->stateChanged();
}

std::optional<std::string> frmScan::EngineWindow::regpath() const
{
    return form_.mainWindow_.regpath();
}

void frmScan::EngineWindow::setLabel(ScanLabel label, const std::string& text)
{
    form_.labels_[indexOf(label)] = text;
    form_.changed();
}

void frmScan::EngineWindow::setButtonCaption(const std::string& caption)
{
    form_.caption_ = caption;
    form_.changed();
}

void frmScan::EngineWindow::resetFindingList()
{
    form_.rows_.clear();
    form_.hasColumns_ = true;
    form_.lastSelected_ = 0;
    ++form_.listGeneration_;
    form_.changed();
}

std::size_t frmScan::EngineWindow::addFinding(const ThreatName& virusName, const std::string& iconKey)
{
    form_.rows_.push_back(Finding{virusName, {}, iconKey, false});
    form_.changed();
    return form_.rows_.size();
}

void frmScan::EngineWindow::setFindingSelected(std::size_t row, bool selected)
{
    form_.selectFinding(row, selected);
}

void frmScan::EngineWindow::setFindingPath(std::size_t row, const std::string& fullPath)
{
    form_.rows_[row - 1].FullPath = fullPath;
    form_.changed();
}

void frmScan::EngineWindow::setFindingIcon(std::size_t row, const std::string& iconKey)
{
    form_.rows_[row - 1].IconKey = iconKey;
    form_.changed();
}

bool frmScan::EngineWindow::findingSelected(std::size_t row) const
{
    return form_.rows_[row - 1].Selected;
}

std::string frmScan::EngineWindow::findingPath(std::size_t row) const
{
    return form_.rows_[row - 1].FullPath;
}

void frmScan::EngineWindow::messageBox(const std::string& text)
{
    if (!form_.closedWhileRunning_)
        form_.messages_.show(text);
}

void frmScan::EngineWindow::close()
{
    if (!form_.closedWhileRunning_)
        form_.unload();
}

void frmScan::EngineWindow::yield()
{
    if (form_.view_)
        form_.view_->processEvents();
    else if (terminationRequested())
        form_.canceled = true;
}

}  // namespace ombrix
