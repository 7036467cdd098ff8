#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// Opens the child folder `name` of `parent` without following a link.
Fd openChild(int parent, const char* name);

// True when `name` in `parent` exists and is not a folder (a link counts as an
// entry of its own and is never followed).
bool entryExists(int parent, const char* name);

// Makes the walk's start folder the anchor from which later by-path operations
// under `prefix` (which ends in the separator) resolve their components.
void setAnchor(std::string prefix, Fd start);

// Resolves full paths one after another. Below the anchor the walk's start
// folder is the base, elsewhere the file-system root (or the working folder for a
// relative path). Folders that consecutive paths share are opened once, so a
// pass over findings in walk order opens a folder per change of folder, not
// one per path component.
class PathCursor {
public:
    // The folder holding the last component of `path` (-1 when it cannot be
    // reached) and, in `leaf`, that component. Valid until the next call.
    int parentOf(const std::string& path, std::string& leaf);

    // True when `path` names an entry that is not a folder.
    bool exists(const std::string& path);
    // Unlinks the entry at `path`; true on success.
    bool remove(const std::string& path);

private:
    std::string base_;
    Fd baseFd_;
    std::vector<std::string> names_;  // the open folders below the base, outermost first
    std::vector<Fd> folders_;
};

// The folder `path` (ending in the separator) names, opened afresh.
Fd openFolder(const std::string& path);

}  // namespace ombrix::folder
