#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>

namespace ombrix {

// One entry of the drive and folder tree.
struct TreeEntry {
    std::string key;        // unique in the tree
    std::string parentKey;  // empty for a top-level entry
    std::string text;
    std::string image;          // picture key
    std::string selectedImage;  // picture key while selected; empty: same as `image`
    std::string tag;            // the location the entry stands for
    bool expanded = false;
};

// The entries of the main window's tree, kept in the order they were added.
// Entries are addressed by key; a key can be used only once. Pointers to
// entries stay valid until clear().
class DriveTree {
public:
    void clear();

    // Adds an entry below `parentKey` (empty for the top level). Nullptr when
    // the key is already used or the parent does not exist.
    TreeEntry* add(const std::string& parentKey, const std::string& key, const std::string& text,
                   const std::string& image, const std::string& selectedImage = {});

    TreeEntry* find(const std::string& key);
    const TreeEntry* find(const std::string& key) const;

    // The selected entry, nullptr when none is.
    TreeEntry* selected();
    const TreeEntry* selected() const;
    void select(const std::string& key);

    const std::deque<TreeEntry>& entries() const { return entries_; }
    // Grows with every clear(), so a view knows to start over.
    std::uint64_t generation() const { return generation_; }

private:
    std::deque<TreeEntry> entries_;
    std::unordered_map<std::string, std::size_t> positions_;
    std::string selectedKey_;
    std::uint64_t generation_ = 0;
};

// The text after the last separator of `path`: the whole text when it has
// none, empty text when it ends in one.
std::string LastPathPart(const std::string& path);

}  // namespace ombrix
