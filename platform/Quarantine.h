#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "QuarantineSource.h"

// Where removed files wait until they are restored or let go. A file is taken
// by moving it, on its own file system, into a private folder at the top of that
// file system (one rename: the file is either at its path or in the quarantine);
// where no such folder can be had it is copied into the user's own quarantine
// and then unlinked. Every entry is recorded before its file moves, so an
// interruption at any instant leaves the file at its path or a complete entry.
// Take and IsQuarantineFolder may be called from any thread; the rest from one
// thread at a time.
namespace ombrix::quarantine {

// What a removal knows of why it removes: kept with the entry.
struct Origin {
    std::string threat;       // the matching entry's threat name
    std::string listVersion;  // the signature list's declared version; empty when it has none
    std::string road;         // which removal took it: "immediate repair", "final pass", "Delete this File"
    std::string program;      // which program: "ombrix", "ombrix /scannow", "ombrix-scan"
};

// Which folder an entry is: device and inode on Linux, volume serial number and
// file index on Windows.
struct FolderIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
};

// Times in nanoseconds since 1970-01-01 UTC.
struct Times {
    std::int64_t modified = 0;
    std::int64_t accessed = 0;
    std::int64_t changed = 0;  // status change on Linux, creation on Windows
};

// One quarantined file.
struct Entry {
    std::string id;            // unique, also among stores; names the file in its store
    std::string originalPath;  // the exact bytes it was removed from
    std::uint64_t size = 0;
    std::string sha256;        // lower-case hex of its bytes; empty when they could not be read
    std::uint32_t mode = 0;    // Linux st_mode (type and permission bits); Windows file attributes
    std::string owner;         // Linux decimal uid; Windows SID text
    std::string group;         // Linux decimal gid; Windows SID text of the primary group
    Times times;
    std::string threat;
    std::string listVersion;
    std::string road;
    std::string program;
    std::int64_t takenAt = 0;  // when it was taken, nanoseconds since 1970-01-01 UTC
    std::string store;         // the quarantine folder that holds it
    bool ownFileSystem = true; // false: copied into the user's own quarantine
};

// Takes the entry `source` names (the file a removal would unlink; a link goes
// as a link, never its target), recorded as coming from `path`. True when it is
// gone from its place and held by a complete entry; false leaves it where it is.
bool Take(const Source& source, const std::string& path, const Origin& origin);

// True when the folder identified by `id` is one of this user's quarantine
// folders (the walk never enters one, whatever its name or however it was
// reached; other users' are closed to this one and start with a full stop).
bool IsQuarantineFolder(const FolderIdentity& id);

// Every entry of this user in every store it can find, oldest first. Entries an
// interrupted removal left half-written are completed or dropped first.
std::vector<Entry> List();

enum class Outcome {
    Done,
    NoSuchEntry,    // no entry has that id
    PathTaken,      // something stands at the path: restore elsewhere with `to`
    NoParent,       // the folder to restore into is missing: ask for `makeParents`
    Failed,         // the system refused; `Result::why` says why
};

struct Result {
    Outcome outcome = Outcome::Failed;
    std::string path;  // where it was (or would have been) restored
    std::string why;   // the system's words for a failure
};

struct RestoreOptions {
    std::optional<std::string> to;  // restore at this path instead of the original one
    bool makeParents = false;       // re-create missing folders along the path
};

// Puts the entry's file back byte for byte, with its mode, its times and, when
// the caller may, its owner and group, then forgets the entry. Never overwrites
// anything that stands at the path.
Result Restore(const std::string& id, const RestoreOptions& options = {});

// Lets the entry's file go for good.
Result Delete(const std::string& id);

// Lets go every entry taken before `takenBefore` (nanoseconds since 1970-01-01
// UTC). Returns how many went.
std::size_t PurgeTakenBefore(std::int64_t takenBefore);

// The size limit of the whole quarantine in bytes, kept in the settings store
// (value "Quarantine Limit" at its top, megabytes); 0 means none.
std::uint64_t SizeLimit();
bool SetSizeLimit(std::uint64_t bytes);

// Lets go the oldest entries until the rest fit the size limit. Returns how many went.
std::size_t EnforceSizeLimit();

}  // namespace ombrix::quarantine
