#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "TempTree.h"

namespace ombrix::test {

// The folder "scan" of a temporary tree, full of names that could lead a walk
// astray (" ..", " .", blanks only, " .hid" beside ".hid", " a" beside "a",
// blanks around a file name, a newline, a backslash, a leading "-", 255-byte
// names, bytes that are not UTF-8), and files outside it that match the same
// signatures: where " .." leads when trimmed, a hidden folder, a sibling.
class HostileTree {
public:
    // The list the tree is made for, in the signature file's format.
    static const std::string kSignatures;

    explicit HostileTree(const TempTree& tree);

    // The start folder, ending in the separator.
    std::string start() const { return tree_.path("scan") + "/"; }
    // Full paths of the files a walk with subfolders finds, sorted bytewise.
    std::vector<std::string> findings() const;
    // Relative paths of matching files that no scan of the start folder may touch.
    const std::vector<std::string>& outside() const { return outside_; }
    // What a walk with subfolders counts.
    std::size_t folders() const { return folders_; }
    std::size_t files() const { return files_; }

private:
    void folder(const std::string& name);
    void file(const std::string& relative, bool matches);

    const TempTree& tree_;
    std::vector<std::string> findings_;
    std::vector<std::string> outside_;
    std::size_t folders_ = 1;
    std::size_t files_ = 0;
};

}  // namespace ombrix::test
