#include "ScanSystem.h"

#include "FolderAccess.h"
#include "LocalTime.h"
#include "Paths.h"
#include "Removal.h"
#include "StoreWait.h"
#include "Text.h"
#include "mFileSearch.h"
#include "mRegistry.h"

namespace ombrix {

namespace {

std::string removeAll(std::string text, const std::string& part)
{
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at))
        text.erase(at, part.size());
    return text;
}

std::string countFromLabel(const ScanWindow& window, ScanLabel label, const std::string& prefix)
{
    return std::string(trimSpaces(removeAll(window.label(label), prefix)));
}

// The threat a finding's file matched: the walk's own test of its name. A view
// into the list, which may join a very long name.
std::string_view threatOf(const std::string& path)
{
    const std::optional<mFileSearch::Signature> match =
        mFileSearch::FindSignature(trimSpaces(path.substr(path.rfind(kPathSeparator) + 1)));
    return match ? match->VirusName : std::string_view();
}

// Retries every selected finding whose file is still there and counts the outcome.
void repairAndCount(ScanWindow& window, std::size_t rows, ScanSummary& summary)
{
    folder::PathCursor files;
    for (std::size_t row = 1; row <= rows; ++row) {
        if (!window.findingSelected(row))
            continue;
        const std::string path = window.findingPath(row);
        bool present = files.exists(path);
        if (present && window.autoRepair() == 1) {
            mFileSearch::RemoveFile(files, path, threatOf(path), "final pass");
            present = files.exists(path);
        }
        if (present) {
            ++summary.stillPresent;
        } else {
            window.setFindingIcon(row, "greenbug");
            ++summary.removed;
            window.setLabel(ScanLabel::Label1, "Fixed:  " + decimal(summary.removed));
        }
    }
}

// A refused value does not stop the others; the summary tells front ends that care.
void recordStatistics(const ScanWindow& window, ScanSummary& summary)
{
    const auto key = window.regpath();
    if (!key)
        return;
    // Another program holding the store delays the run's end by this much at
    // most, and a signal that arrives meanwhile ends the wait.
    const StoreWait wait(std::chrono::seconds(10));
    const auto write = [&](const char* name, const std::string& text) {
        if (mRegistry::WriteRegString(mRegistry::HKEY_CURRENT_USER, *key, name, text))
            return;
        if (summary.unrecorded++ == 0)
            summary.recordError = mRegistry::LastRegError();
    };
    write("Status", summary.stillPresent > 0 ? "255" : "65280");
    write("UnabletoClean", decimal(summary.stillPresent));
    write("Found", decimal(summary.rows + 1));
    write("Looked For", decimal(summary.lookedFor));
    write("FileCount", countFromLabel(window, ScanLabel::Label3, "Files: "));
    write("DirCount", countFromLabel(window, ScanLabel::Label2, "Dirs: "));
    write("Last Check", retDate() + " " + retTime());
}

}  // namespace

ScanSummary ScanSystem(ScanWindow& window, std::string& drive, bool nomsg)
{
    ScanSummary summary;
    const auto started = std::chrono::steady_clock::now();
    mFileSearch::LoadSignatures();
    summary.lookedFor = mFileSearch::SignatureCount();
    summary.listVersion = mFileSearch::SignatureListVersion();
    window.setLabel(ScanLabel::Label4, "Scanning for " + decimal(summary.lookedFor) + " items.");
    window.resetFindingList();
    if (drive.empty() || drive.back() != kPathSeparator)
        drive.push_back(kPathSeparator);

    summary.folder = drive;
    mFileSearch::SearchFolder(window, drive, true);
    summary.dirs = mFileSearch::Counts().Dirs;
    summary.files = mFileSearch::Counts().Files;
    summary.unreached = mFileSearch::Counts().Unreached;
    summary.passedOver = mFileSearch::PassedOverFolders();
    summary.rows = window.findingCount();
    repairAndCount(window, summary.rows, summary);
    mFileSearch::KeepQuarantineLimit();
    summary.canceled = window.canceled();
    summary.removing = window.autoRepair() == 1;
    recordStatistics(window, summary);
    summary.duration = std::chrono::steady_clock::now() - started;
    summary.ended = std::chrono::system_clock::now();

    if (nomsg) {
        window.setShowMain(false);
        window.close();
        return summary;
    }
    window.setShowMain(true);
    std::string message;
    // A walk that could not see everything ends as one stopped short would.
    if (summary.canceled || (summary.rows == 0 && summary.unreached > 0)) {
        message = "Scan Canceled";
    } else if (summary.rows >= 1) {
        message = "Scan Complete - Problems were found!";
        window.messageBox(message);
    } else {
        window.messageBox("Scan Complete - Your Clean");
        window.close();
        return summary;
    }
    window.setButtonCaption("Close");
    window.setLabel(ScanLabel::Label6, message);
    window.setLabel(ScanLabel::Label7, "");
    return summary;
}

std::string retDate()
{
    return dateText(localNow());
}

std::string retTime()
{
    return timeText(localNow());
}

}  // namespace ombrix
