#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "ScanWindow.h"

namespace ombrix::test {

// A scan window that keeps what the run writes and lets a test act during yields.
class RecordingWindow : public ScanWindow {
public:
    struct Row {
        ThreatName virusName;
        std::string fullPath;
        std::string iconKey;
        bool selected = false;
    };

    int16_t autoRepairOption = 0;
    int16_t scanSubFoldersOption = 1;
    bool canceledFlag = false;
    bool showMain = false;
    std::optional<std::string> key;
    std::array<std::string, 7> labels{"Fixed:  0",  "Dirs:  0",      "Files:  0", "Scanning for xxxx items.",
                                      "Detected:  0", "Current Item:", "Current: 0"};
    std::string caption = "Cancel";
    std::vector<Row> rows;
    std::vector<std::string> messages;
    std::vector<std::string> visitedFolders;  // Label7 as each visit starts
    bool keepVisits = true;                   // off for trees whose paths would fill memory
    int closes = 0;
    int yields = 0;
    std::function<void(RecordingWindow&)> onYield;

    const std::string& text(ScanLabel label) const { return labels[std::size_t(label)]; }

    int16_t autoRepair() const override { return autoRepairOption; }
    int16_t scanSubFolders() const override { return scanSubFoldersOption; }
    bool canceled() const override { return canceledFlag; }
    void setShowMain(bool show) override { showMain = show; }
    std::optional<std::string> regpath() const override { return key; }

    void setLabel(ScanLabel label, const std::string& value) override
    {
        labels[std::size_t(label)] = value;
        if (label == ScanLabel::Label7 && !value.empty() && keepVisits)
            visitedFolders.push_back(value);
    }
    std::string label(ScanLabel label) const override { return text(label); }
    void setButtonCaption(const std::string& value) override { caption = value; }

    void resetFindingList() override { rows.clear(); }
    std::size_t addFinding(const ThreatName& virusName, const std::string& iconKey) override
    {
        rows.push_back({virusName, {}, iconKey, false});
        return rows.size();
    }
    void setFindingSelected(std::size_t row, bool selected) override { rows.at(row - 1).selected = selected; }
    void setFindingPath(std::size_t row, const std::string& path) override { rows.at(row - 1).fullPath = path; }
    void setFindingIcon(std::size_t row, const std::string& icon) override { rows.at(row - 1).iconKey = icon; }
    std::size_t findingCount() const override { return rows.size(); }
    bool findingSelected(std::size_t row) const override { return rows.at(row - 1).selected; }
    std::string findingPath(std::size_t row) const override { return rows.at(row - 1).fullPath; }

    void messageBox(const std::string& value) override { messages.push_back(value); }
    void close() override { ++closes; }
    void yield() override
    {
        ++yields;
        if (onYield)
            onYield(*this);
    }
};

}  // namespace ombrix::test
