#pragma once

#include <string>
#include <string_view>

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

// Opens the folder that holds the last component of `path` and returns that
// component in `leaf`. Below the anchor the walk's start folder is the base,
// elsewhere the file-system root (or the working folder for a relative path).
Fd openParentOf(const std::string& path, std::string& leaf);

}  // namespace ombrix::folder
