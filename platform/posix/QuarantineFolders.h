#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>

#include "Quarantine.h"
#include "StoreFolder.h"

// How Linux finds and makes the quarantine folders. One lies at the top of each
// mount that files were taken from, named for the user like the freedesktop
// trash's per-mount folders; the user's own lies in the data home and holds
// copies of files from mounts where no folder of their own can be had.
namespace ombrix::quarantine {

// This user's folder at the top of the mount that holds the open folder
// `folder`, made when missing. nullopt where it cannot be had or is not safe
// (not a folder of its own, not the user's, open to others).
std::optional<StoreFolder> MountStoreFor(int folder);

// ${XDG_DATA_HOME:-$HOME/.local/share}/ombrix/quarantine, made when missing and
// `create` is set; nullopt where it cannot be had or is not safe.
std::optional<StoreFolder> HomeStore(bool create);

// Remembers a folder that became a quarantine folder while this program runs.
void NoteStoreFolder(int folder);

// The facts stat gives of an entry, in a record's terms.
Entry FactsOf(const struct stat& st);

// Nanoseconds since 1970-01-01 UTC.
std::int64_t NowNanoseconds();

// The SHA-256 of what the descriptor reads from its start; empty on a read failure.
std::string DigestOf(int fd);

// Opens the file `name` of `folder` for reading, leaving its access time as it
// is where the caller may (a restore gives back the time it had).
int OpenUnread(int folder, const char* name);

// Writes all of `text` to `fd`; false on failure.
bool WriteAll(int fd, std::string_view text);

}  // namespace ombrix::quarantine
