#pragma once

#include <string>
#include <string_view>

#include "FolderRef.h"
#include "Quarantine.h"
#include "WideText.h"

// File-system access shared by the walk and the by-path operations. Names are
// text in the system code page; the calls take their wide `\\?\` form, so paths
// of any length work and a name keeps its blanks and dots. Folders are opened one
// at a time below a held parent and are never reached through a reparse point
// (junction, symbolic link, mount point); a Unix symbolic link under Wine is
// caught the same way, by where the opened object really lies.
namespace ombrix::folder {

// An owned handle; empty when it holds none.
class Handle {
public:
    Handle() = default;
    explicit Handle(void* handle);
    Handle(Handle&& other) noexcept : handle_(other.release()) {}
    Handle& operator=(Handle&& other) noexcept;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle();

    void* get() const { return handle_; }
    bool valid() const { return handle_ != nullptr; }
    void* release();

private:
    void* handle_ = nullptr;
};

// What an opened file is held by.
using File = Handle;

// A folder held open, with the path it is listed by (`\\?\` form) and the
// name the system knows the opened object by, which tells where it really lies.
struct OpenFolder {
    Handle handle;
    std::wstring path;
    std::wstring objectName;

    bool valid() const { return handle.valid(); }
};

// A wide name in the system code page. One the code page cannot hold exactly
// gets "?" in its place, as the system's own 8-bit calls give it, never a
// look-alike letter.
std::string narrow(std::wstring_view text);

// The `\\?\` form of a path as a user names it (relative, `..` and all).
std::wstring longForm(const std::string& path);

// Opens the folder a user named, reparse points followed as anywhere else,
// whatever the path's length. On failure it is empty and `why` says why.
OpenFolder openNamedFolder(const std::string& path, std::string* why = nullptr);

// Opens the child folder `name` (wide, as listed) of `parent`. Empty when it
// cannot be opened as a folder; `elsewhere` then tells whether that is because
// it is a reparse point or lies anywhere but below `parent` under that name.
OpenFolder openChild(const OpenFolder& parent, std::wstring_view name, bool* elsewhere = nullptr);

// A second handle on the same folder.
OpenFolder copyOf(const OpenFolder& folder);

// True when a failure to reach an entry, with this system error code, proves it
// gone: no such file or path, no such drive, or a folder on its way that is
// none. Anything else (access denied, a sharing violation, a device not ready, a
// network error) proves nothing.
bool provesGone(unsigned long error);

// True unless `name` in `folder` is proven gone or is a folder: an entry that
// cannot be examined is taken as present. `folder` kByPath reaches it by
// `folderPath`, which ends in the separator.
bool entryExists(FolderRef folder, const std::string& folderPath, const char* name);
// Deletes the entry (a link goes, never its target). True on success.
bool removeEntry(FolderRef folder, const std::string& folderPath, const char* name);
// Moves the entry into the quarantine instead. True when it is gone from its place.
bool takeEntry(FolderRef folder, const std::string& folderPath, const char* name, const quarantine::Origin& origin);

// Makes the walk's start folder the anchor from which later by-path operations
// under `prefix` (which ends in the separator) resolve their components.
void setAnchor(std::string prefix, OpenFolder start);

// Resolves full paths one after another; folders that consecutive paths share
// are opened once. Below the anchor every component is opened as the walk opens
// it; elsewhere the path's folder is opened as named.
class PathCursor {
public:
    // As entryExists: true unless `path` is proven gone or names a folder.
    bool exists(const std::string& path);
    // Deletes the entry at `path`; true on success.
    bool remove(const std::string& path);
    // Moves the entry at `path` into the quarantine; true when it is gone from its place.
    bool take(const std::string& path, const quarantine::Origin& origin);

private:
    const OpenFolder* parentOf(const std::string& path, std::string& leaf);

    std::string folderPath_;
    OpenFolder folder_;
    std::string leaf_;
};

}  // namespace ombrix::folder
