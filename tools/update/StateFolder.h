#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "FolderLock.h"

namespace ombrix::update {

// The folder the updater owns: the installed list, the list it replaced, its own
// state. A file is first written whole and synced in a private staging folder
// inside it, then renamed into place, so whoever opens a file there at any moment
// reads the old or the new one, whole, and an update killed at any point leaves
// nothing but the staging folder, which the next run empties.
class StateFolder {
public:
    explicit StateFolder(std::string folder);
    // Holding the lock, clears what the run leaves in the staging folder.
    ~StateFolder();
    StateFolder(const StateFolder&) = delete;
    StateFolder& operator=(const StateFolder&) = delete;

    const std::string& path() const { return folder_; }
    std::string path(std::string_view name) const;

    // Empty when the folder looks writable, else why not. Checked before a
    // download so an ordinary user learns at once; root passes here and meets
    // a read-only file system only when it writes. On Windows a missing folder
    // is made here (ProgramData has none until the first update).
    std::string checkWritable() const;

    // Takes the folder's lock, so that one update at a time works in it; false
    // when another process holds it (errno EWOULDBLOCK) or the folder cannot be opened.
    bool lock();
    bool locked() const { return lock_.has_value(); }

    // Removes what killed runs left: the staging folder with all in it (a link
    // there is removed, never followed) and, on Linux, the hidden
    // ".ombrix.ini.XXXXXX" files earlier versions wrote beside the list.
    void clearLeftovers() const;

    // Writes `bytes` as the staged file `name`, synced; empty on success, else why not.
    std::string stage(std::string_view name, std::string_view bytes) const;
    std::string stagedPath(std::string_view name) const;
    // Renames the staged file `name` over the folder's own and syncs the folder.
    std::string commit(std::string_view name) const;

private:
    // Why `action` failed with the system error `error`, in words.
    std::string failure(const std::string& action, unsigned long error) const;

    std::string folder_;
    std::string staging_;
    std::optional<FolderLock> lock_;
};

}  // namespace ombrix::update
