#include "FolderAccess.h"
#include "Removal.h"
#include "Text.h"
#include "mFileSearch.h"

namespace ombrix::mFileSearch {

// A finding's path is the entry's own bytes, so it names what the walk met;
// only the test against the list sees the name trimmed.
void CheckFile(ScanWindow& window, const char* name, folder::FolderRef folder, const std::string& folderPath)
{
    const std::optional<Signature> match = FindSignature(trimSpaces(name));
    if (!match)
        return;
    const std::size_t row = window.addFinding(std::string(match->VirusName), "redbug");
    window.setFindingSelected(row, true);
    window.setFindingPath(row, folderPath + name);
    window.setLabel(ScanLabel::Label5, "Detected:  " + decimal(row));
    if (window.autoRepair() == 1)
        RemoveFile(folder, folderPath, name, match->VirusName, "immediate repair");
    if (!folder::entryExists(folder, folderPath, name))
        window.setFindingIcon(row, "greenbug");
}

bool FileExists(const std::string& path)
{
    return folder::PathCursor().exists(path);
}

}  // namespace ombrix::mFileSearch
