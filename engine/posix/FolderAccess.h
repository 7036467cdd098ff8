#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FolderRef.h"
#include "Quarantine.h"

// File-system access shared by the walk and the by-path operations. Folders are
// reached by descriptor, one component at a time, never through a link.
namespace ombrix::folder {

// An owned descriptor; -1 when empty.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(other.release()) {}
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd();

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release();

private:
    int fd_ = -1;
};

// What an opened file is held by.
using File = Fd;

// Opens the child folder `name` of `parent` for listing without following a link.
Fd openChild(int parent, const char* name);

// Opens the folder a user named, links followed as anywhere else, whatever the
// path's length. On failure the descriptor is empty and errno says why.
Fd openNamedFolder(const std::string& path);

// Which folder an entry is and which mount it lies on. Bind mounts of one file
// system share a device but not a mount id; kernels that give no mount id leave it 0.
struct FolderId {
    std::uint64_t mountId = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool isFolder = false;

    bool sameMount(const FolderId& other) const { return mountId == other.mountId && device == other.device; }
    bool sameFolder(const FolderId& other) const { return sameMount(other) && inode == other.inode; }
};

// Identifies `name` in `parent` (`parent` itself when `name` is empty) without
// following a link or triggering an automount. False when it cannot be told.
bool identify(int parent, const char* name, FolderId& id);

// True when `name` in `parent` exists and is not a folder (a link counts as an
// entry of its own and is never followed).
bool entryExists(int parent, const char* name);

// The same for `name` in `folder`, reached by `folderPath` (which ends in the
// separator) when `folder` is kByPath.
bool entryExists(FolderRef folder, const std::string& folderPath, const char* name);
// Unlinks the entry (a link goes, never its target). True on success.
bool removeEntry(FolderRef folder, const std::string& folderPath, const char* name);
// Moves the entry into the quarantine instead. True when it is gone from its place.
bool takeEntry(FolderRef folder, const std::string& folderPath, const char* name, const quarantine::Origin& origin);

// Makes the walk's start folder the anchor from which later by-path operations
// under `prefix` (which ends in the separator) resolve their components.
void setAnchor(std::string prefix, Fd start);

// Resolves full paths one after another. Below the anchor the walk's start
// folder is the base, elsewhere the file-system root (or the working folder for a
// relative path). Folders that consecutive paths share are opened once, so a
// pass over findings in walk order opens a folder per change of folder, not one
// per path component. However deep a path, the cursor holds a bounded number of
// descriptors.
class PathCursor {
public:
    // The folder holding the last component of `path` (-1 when it cannot be
    // reached) and, in `leaf`, that component. Valid until the next call.
    int parentOf(const std::string& path, std::string& leaf);

    // True when `path` names an entry that is not a folder.
    bool exists(const std::string& path);
    // Unlinks the entry at `path`; true on success.
    bool remove(const std::string& path);
    // Moves the entry at `path` into the quarantine; true when it is gone from its place.
    bool take(const std::string& path, const quarantine::Origin& origin);

private:
    // One open folder below the base. Only the outer levels and the deepest one
    // keep their descriptor; the others are found again through "..", checked
    // against the identity they had when they were opened.
    struct Level {
        std::string name;
        Fd fd;
        dev_t device = 0;
        ino_t inode = 0;
    };

    int deepest() const;
    bool descend(std::string_view name);
    bool keepLevels(std::size_t depth);
    bool climbTo(std::size_t depth);

    std::string base_;
    Fd baseFd_;
    std::vector<Level> levels_;
    std::string leaf_;
};

// The folder `path` (ending in the separator) names, opened afresh.
Fd openFolder(const std::string& path);

}  // namespace ombrix::folder
