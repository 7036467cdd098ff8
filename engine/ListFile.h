#pragma once

#include <cstddef>
#include <string>

#include "FolderAccess.h"

// The signature file as each platform reads it.
namespace ombrix::mFileSearch {

// Opens the list at `path`. Only a regular file on a disk is a list, and it is
// opened so that a device or pipe in its place can never block a scan. When it
// is refused, the result holds nothing and `why` says why.
folder::File openListFile(const std::string& path, std::string& why);

// The file's size in bytes; 0 when it cannot be told.
std::size_t listFileSize(const folder::File& file);

// Feeds the whole file to the list being loaded, read by offset so that a file
// held open for several loads is read from its start each time. A read error ends
// loading with the lines completed before it.
void readListLines(const folder::File& file);

}  // namespace ombrix::mFileSearch
