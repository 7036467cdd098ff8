#pragma once

#include <string>
#include <string_view>

namespace ombrix::test {

// A fresh temporary folder, removed with everything in it when the object goes.
// Paths given to the builders are relative to the root, with "/" between
// folders whatever the system's separator; parents are created.
class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The root, without a trailing separator.
    const std::string& root() const { return root_; }
    std::string path(std::string_view relative) const;

    void file(std::string_view relative, std::string_view content = {}) const;
    void dir(std::string_view relative) const;
    // Entries Windows has no such thing as: built on POSIX systems only.
    void symlink(std::string_view relative, const std::string& target) const;
    void fifo(std::string_view relative) const;
    // A path that names no file on a disk but something a read could wait on for
    // ever: a FIFO in the tree, or the NUL device on Windows.
    std::string blockingFile() const;
    // True when the entry itself exists (a link is not followed).
    bool exists(std::string_view relative) const;

private:
    void makeParents(std::string_view relative) const;
    std::string root_;
};

// Writes `content` to `path`, replacing it.
void writeFile(const std::string& path, std::string_view content);
// The bytes of the file at `path`; empty when it cannot be read.
std::string readFile(const std::string& path);
// The bytes of a file another process writes, once there are any (at most
// 10 s: under load Wine can show the name a moment before the file opens);
// then the file is removed.
std::string takeFile(const std::string& path);

}  // namespace ombrix::test
