#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "ThreatName.h"

namespace ombrix {

// The scan window's labels that a scan run writes or reads back.
enum class ScanLabel { Label1, Label2, Label3, Label4, Label5, Label6, Label7 };

// Everything a scan run touches on its window. The scan window's state object
// implements it; so do the terminal front end and the tests' recording fake.
// Finding rows are addressed by position from 1, in the order they were added.
class ScanWindow {
public:
    virtual ~ScanWindow() = default;

    // Options and flags. The walk reads them at the start of every folder visit,
    // so a change made during a yield takes effect at the next folder.
    virtual int16_t autoRepair() const = 0;
    virtual int16_t scanSubFolders() const = 0;
    virtual bool canceled() const = 0;
    virtual void setShowMain(bool show) = 0;

    // Key path below the per-user hive where the run records its seven result
    // values; nullopt for a front end that records nothing.
    virtual std::optional<std::string> regpath() const = 0;

    virtual void setLabel(ScanLabel label, const std::string& text) = 0;
    virtual std::string label(ScanLabel label) const = 0;
    virtual void setButtonCaption(const std::string& caption) = 0;

    // Removes every row and column, then makes the "Virus Name" and "Filename"
    // columns, each half the list's width.
    virtual void resetFindingList() = 0;
    // Appends a row with the given text and icon; returns its position (from 1).
    virtual std::size_t addFinding(const ThreatName& virusName, const std::string& iconKey) = 0;
    virtual void setFindingSelected(std::size_t row, bool selected) = 0;
    virtual void setFindingPath(std::size_t row, const std::string& fullPath) = 0;
    virtual void setFindingIcon(std::size_t row, const std::string& iconKey) = 0;
    virtual std::size_t findingCount() const = 0;
    virtual bool findingSelected(std::size_t row) const = 0;
    virtual std::string findingPath(std::size_t row) const = 0;

    // Modal, OK only, no icon, titled "Ombrix".
    virtual void messageBox(const std::string& text) = 0;
    // Unloads the window (its unload handler runs).
    virtual void close() = 0;
    // Lets pending user actions run; called once per visited folder.
    virtual void yield() = 0;
};

}  // namespace ombrix
