#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FolderRef.h"
#include "PassedOver.h"
#include "ScanWindow.h"
#include "ThreatName.h"

// The signature list, the walk and the matcher. The list and the two walk
// counters live here for the whole run of the program: the list is rebuilt at
// the start of every scan, the counters are reset by every walk.
namespace ombrix::mFileSearch {

// One entry of the list. The views stay valid until the list next changes.
struct Signature {
    std::string_view VirusName;
    std::string_view FileName;
    std::size_t Index = 0;  // its place in the list, from 0
};

// The file LoadSignatures reads: ombrix.ini in the program folder unless a
// front end names another one.
void SetSignatureFile(std::string path);
const std::string& SignatureFile();

// Names the signature file and opens it at once, so that a front end can refuse
// a list it cannot read before it scans: every later load reads this open file
// from its start. Empty on success, else why the file is no readable list.
std::string OpenSignatureFile(const std::string& path);

// Empties the list and fills it from the signature file. A file that cannot be
// opened or is not a regular file gives an empty list (a FIFO or device never
// blocks the load); a read failure keeps the entries read so far.
void LoadSignatures();
void AddSignature(const std::string& name, const std::string& fileName);
std::size_t SignatureCount();
// The version the loaded list declares in a comment line, if it does.
std::optional<std::uint64_t> SignatureListVersion();
// The entry at `index` (from 0, in the order entries were first stored).
Signature SignatureAt(std::size_t index);

// The threat name of the entry at `index` as findings show it: every call until
// the list next changes gives the same shared text.
ThreatName SharedVirusName(std::size_t index);

// The first entry in list order whose file name equals `name` without regard to
// ASCII letter case; entries whose file name starts with "%" never match.
std::optional<Signature> FindSignature(std::string_view name);

// Helper threads that read the listings of the folders a walk enters next, so a
// disk has several requests in flight; 0 walks on the calling thread alone.
// A number set here runs from the start of every walk; nullopt leaves the choice
// to the program, which starts its helpers once a walk has had to wait for the
// disk (on a warm cache they would cost more than they save). Every observable
// result of a walk is the same whatever the choice.
void SetPrefetchThreads(std::optional<unsigned> threads);

struct ScanCounts {
    double Dirs = 0;
    double Files = 0;
    // Folders the walk could not enter, or not go on listing, for want of a
    // descriptor even after letting go of all it could: a walk that missed one
    // has not seen everything.
    double Unreached = 0;
};
ScanCounts Counts();
// What the last walk met but did not scan; reset by every walk.
const PassedOver& PassedOverFolders();

// Visits one folder (`path` ends in the separator) and, when the window's options
// allow it, every folder below it on the same drive. Entries are tested by
// their names trimmed of blanks, but every path is made of their own bytes, and
// a folder is entered only through what was opened for that very entry, never
// through a link.
void SearchFolder(ScanWindow& window, const std::string& path, bool isRoot);

// Tests one file `name` (its own bytes) of the folder `folderPath` (which ends in
// the separator), open as `folder` (folder::kByPath to reach it by path), by the
// name trimmed of blanks, and records a finding for a match under the name as it is.
void CheckFile(ScanWindow& window, const char* name, folder::FolderRef folder, const std::string& folderPath);

// False only when `path` is proven gone (no such entry, or a folder on its way
// missing or no folder) or names a folder; an entry that cannot be examined (no
// permission, say) counts as present. Never follows a link below the last
// scan's start folder and never opens the file.
bool FileExists(const std::string& path);

// Whether removals move files into the quarantine, where they can be restored,
// or unlink them. Off until a front end turns it on from its stored value.
void SetQuarantine(bool on);
// The program the quarantine records as having taken a file.
void SetProgramName(std::string name);

// "Delete this File": removes the finding at `path` that matched `threat` (a
// link goes, never its target). True on success.
bool DeleteFile(const std::string& path, std::string_view threat);

}  // namespace ombrix::mFileSearch
