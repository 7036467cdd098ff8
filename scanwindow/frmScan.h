#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FileManager.h"
#include "Finding.h"
#include "MainWindowLink.h"
#include "MessageBox.h"
#include "ScanFormView.h"
#include "ScanSystem.h"
#include "ScanWindow.h"

namespace ombrix {

enum class MouseButton { Left, Middle, Right };

// What the popup menu over the finding list offers when it opens.
struct BadGuyMenu {
    bool deleteUsable = false;
};

// The scan window's state and event handlers, without any widget. A scan run
// writes its labels and rows through the engine's window interface; a view
// (ScanFormView) mirrors them on the screen and forwards the user's actions.
// The object lives as long as the program: its options and flags keep their
// values while the window is closed and shown again.
class frmScan {
public:
    frmScan(MainWindowLink& mainWindow, MessageBox& messages, FileManager& fileManager);
    frmScan(const frmScan&) = delete;
    frmScan& operator=(const frmScan&) = delete;

    // Set by the launcher before every scan: check-box values 0, 1 or 2. Files
    // are deleted only with AutoRepair exactly 1; ScanAll is kept, never read.
    int16_t AutoRepair = 0;
    int16_t ScanSubFolders = 0;
    int16_t ScanAll = 0;
    // Kept for callers; nothing sets or reads them.
    double dircnt = 0;
    double filecnt = 0;
    // Cancel request, read by the walk at every folder. The launcher clears it.
    bool canceled = false;

    // One complete scan of `drive` (which gets a trailing separator when it
    // lacks one). Returns when the scan has ended. A window the user closed while
    // the walk ran stays closed: the run then shows no message and brings the
    // main window back unless that has closed for good.
    void ScanSystem(std::string& drive, bool nomsg);
    bool scanRunning() const { return running_; }
    // What the last scan counted, for a silent run's reports; nullopt before any.
    const std::optional<ScanSummary>& lastScan() const { return lastScan_; }

    // Event handlers.
    void Command1_Click();
    // The window unloads at the user's or the main window's hand.
    void Form_Unload();
    // Release of a mouse button over the list: the menu to pop up, if any.
    std::optional<BadGuyMenu> ListView1_MouseUp(MouseButton button) const;
    void mnuDeletethisFile_Click();
    void mnuOpenFolder_Click();

    // A fresh showing after an unload starts from the design contents.
    void load();
    void attachView(ScanFormView* view) { view_ = view; }

    // What the view shows.
    const std::string& labelText(ScanLabel label) const;
    const std::string& buttonCaption() const { return caption_; }
    // The run makes the list's two columns; before that it has none.
    bool hasColumns() const { return hasColumns_; }
    // Row r is findings()[r - 1].
    const std::vector<Finding>& findings() const { return rows_; }
    // Grows whenever the list is emptied, so a view knows to start over.
    std::uint64_t listGeneration() const { return listGeneration_; }
    // The row the menu acts on: the one most recently made selected, by the run
    // or by the user, while it stays selected; else the last selected row; 0 for none.
    std::size_t selectedRow() const;
    // Row `row` was selected or deselected (by the run or by the user).
    void selectFinding(std::size_t row, bool selected);

private:
    // What the engine's scan run talks to.
    class EngineWindow final : public ScanWindow {
    public:
        explicit EngineWindow(frmScan& form) : form_(form) {}
        int16_t autoRepair() const override { return form_.AutoRepair; }
        int16_t scanSubFolders() const override { return form_.ScanSubFolders; }
        bool canceled() const override { return form_.canceled; }
        void setShowMain(bool show) override { form_.showmain_ = show; }
        std::optional<std::string> regpath() const override;
        void setLabel(ScanLabel label, const std::string& text) override;
        std::string label(ScanLabel label) const override { return form_.labelText(label); }
        void setButtonCaption(const std::string& caption) override;
        void resetFindingList() override;
        std::size_t addFinding(const ThreatName& virusName, const std::string& iconKey) override;
        void setFindingSelected(std::size_t row, bool selected) override;
        void setFindingPath(std::size_t row, const std::string& fullPath) override;
        void setFindingIcon(std::size_t row, const std::string& iconKey) override;
        std::size_t findingCount() const override { return form_.rows_.size(); }
        bool findingSelected(std::size_t row) const override;
        std::string findingPath(std::size_t row) const override;
        void messageBox(const std::string& text) override;
        void close() override;
        void yield() override;

    private:
        frmScan& form_;
    };

    void unload();
    void changed();

    MainWindowLink& mainWindow_;
    MessageBox& messages_;
    FileManager& fileManager_;
    ScanFormView* view_ = nullptr;
    EngineWindow engineWindow_{*this};

    // When true, unloading shows the main window again.
    bool showmain_ = false;
    bool loaded_ = false;
    bool running_ = false;
    std::optional<ScanSummary> lastScan_;
    bool closedWhileRunning_ = false;

    std::array<std::string, 7> labels_;
    std::string caption_;
    bool hasColumns_ = false;
    std::vector<Finding> rows_;
    std::uint64_t listGeneration_ = 0;
    std::size_t lastSelected_ = 0;
};

}  // namespace ombrix
