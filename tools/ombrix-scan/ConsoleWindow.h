#pragma once

#include <array>
#include <chrono>
#include <cstdio>
#include <vector>

#include "ScanWindow.h"
#include "Termination.h"

namespace ombrix {

// The scan window of the terminal front end: labels and rows kept in memory,
// findings printed as they are made, a progress line on a terminal, and SIGINT
// or SIGTERM acting as the Cancel button.
class ConsoleWindow final : public ScanWindow {
public:
    struct Options {
        int16_t autoRepair = 0;
        int16_t scanSubFolders = 1;
        std::optional<std::string> regpath;
        bool printFindings = true;
        // Finding lines go to a terminal: names are shown escaped, not raw.
        bool findingsToTerminal = false;
        bool showProgress = false;
        // The terminal takes UTF-8 (the locale says so), so such names show as they are.
        bool utf8Terminal = false;
    };
    struct Row {
        ThreatName virusName;
        std::string fullPath;
        std::string iconKey;
        bool selected = false;
    };

    explicit ConsoleWindow(Options options);

    const std::vector<Row>& rows() const { return rows_; }
    // The message box text, or the result line of a canceled run.
    const std::string& resultMessage() const { return resultMessage_; }
    void clearProgress();

    int16_t autoRepair() const override { return options_.autoRepair; }
    int16_t scanSubFolders() const override { return options_.scanSubFolders; }
    bool canceled() const override { return terminationRequested(); }
    void setShowMain(bool) override {}
    std::optional<std::string> regpath() const override { return options_.regpath; }

    void setLabel(ScanLabel label, const std::string& text) override;
    std::string label(ScanLabel label) const override;
    void setButtonCaption(const std::string&) override {}

    void resetFindingList() override { rows_.clear(); }
    std::size_t addFinding(const ThreatName& virusName, const std::string& iconKey) override;
    void setFindingSelected(std::size_t row, bool selected) override { rows_[row - 1].selected = selected; }
    void setFindingPath(std::size_t row, const std::string& fullPath) override;
    void setFindingIcon(std::size_t row, const std::string& iconKey) override { rows_[row - 1].iconKey = iconKey; }
    std::size_t findingCount() const override { return rows_.size(); }
    bool findingSelected(std::size_t row) const override { return rows_[row - 1].selected; }
    std::string findingPath(std::size_t row) const override { return rows_[row - 1].fullPath; }

    void messageBox(const std::string& text) override { resultMessage_ = text; }
    void close() override {}
    void yield() override;

private:
    void drawProgress();
    void print(const std::string& name);

    Options options_;
    std::array<std::string, 7> labels_;
    std::vector<Row> rows_;
    std::string resultMessage_;
    std::chrono::steady_clock::time_point lastDraw_;
    bool progressShown_ = false;
};

}  // namespace ombrix
