#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ScanWindow.h"

// The signature list, the walk and the matcher. The list and the two walk
// counters live here for the whole run of the program: the list is rebuilt at
// the start of every scan, the counters are reset by every walk.
namespace ombrix::mFileSearch {

// One entry of the list. The views stay valid until the list next changes.
struct Signature {
    std::string_view VirusName;
    std::string_view FileName;
};

// The file LoadSignatures reads: ombrix.ini in the program folder unless a
// front end names another one.
void SetSignatureFile(std::string path);
const std::string& SignatureFile();

// Empties the list and fills it from the signature file. A file that cannot be
// opened gives an empty list; a read failure keeps the entries read so far.
void LoadSignatures();
void AddSignature(const std::string& name, const std::string& fileName);
std::size_t SignatureCount();
// The entry at `index` (from 0, in the order entries were first stored).
Signature SignatureAt(std::size_t index);

// The first entry in list order whose file name equals `name` without regard to
// ASCII letter case; entries whose file name starts with "%" never match.
std::optional<Signature> FindSignature(std::string_view name);

struct ScanCounts {
    double Dirs = 0;
    double Files = 0;
};
ScanCounts Counts();

// Visits one folder (`path` ends in the separator) and, when the window's options
// allow it, every folder below it on the same file system.
void SearchFolder(ScanWindow& window, const std::string& path, bool isRoot);

// Tests one file of the folder `folderPath` (which ends in the separator) and
// records a finding for a match.
void CheckFile(ScanWindow& window, const std::string& name, const std::string& folderPath);

// True when `path` names an entry that is not a folder. Never follows a link
// below the last scan's start folder and never opens the file.
bool FileExists(const std::string& path);

// Unlinks the entry at `path` (a link goes, never its target). True on success.
bool DeleteFile(const std::string& path);

}  // namespace ombrix::mFileSearch
