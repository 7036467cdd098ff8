#pragma once

#include <string>
#include <string_view>

#include "FolderAccess.h"

// Every removal Ombrix makes goes through RemoveFile: the walk's immediate
// repair, the final pass and "Delete this File" alike.
namespace ombrix::mFileSearch {

// Takes the finding `name` (its own bytes) of the folder `folderPath`, open as
// `folder` (kByPath to reach it by path), that matched `threat`, by `road`:
// into the quarantine while it is on, else unlinked. A link goes, never its
// target. True when it is gone from its place.
bool RemoveFile(folder::FolderRef folder, const std::string& folderPath, const char* name, std::string_view threat,
                const char* road);
// The same for the finding at `path`, reached through `files`.
bool RemoveFile(folder::PathCursor& files, const std::string& path, std::string_view threat, const char* road);

// Lets the oldest quarantined files go while the quarantine is over its size
// limit; once after the removals of a scan or a menu action.
void KeepQuarantineLimit();

}  // namespace ombrix::mFileSearch
