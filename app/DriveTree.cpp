#include "DriveTree.h"

#include "Paths.h"

namespace ombrix {

void DriveTree::clear()
{
    ++generation_;
    entries_.clear();
    positions_.clear();
    selectedKey_.clear();
}

TreeEntry* DriveTree::add(const std::string& parentKey, const std::string& key, const std::string& text,
                          const std::string& image, const std::string& selectedImage)
{
    if (find(key) || (!parentKey.empty() && !find(parentKey)))
        return nullptr;
    positions_.emplace(key, entries_.size());
    return &entries_.emplace_back(TreeEntry{key, parentKey, text, image, selectedImage, {}, false});
}

TreeEntry* DriveTree::find(const std::string& key)
{
    const auto found = positions_.find(key);
    return found == positions_.end() ? nullptr : &entries_[found->second];
}

const TreeEntry* DriveTree::find(const std::string& key) const
{
    const auto found = positions_.find(key);
    return found == positions_.end() ? nullptr : &entries_[found->second];
}

TreeEntry* DriveTree::selected()
{
    return selectedKey_.empty() ? nullptr : find(selectedKey_);
}

const TreeEntry* DriveTree::selected() const
{
    return selectedKey_.empty() ? nullptr : find(selectedKey_);
}

void DriveTree::select(const std::string& key)
{
    selectedKey_ = key;
}

std::string LastPathPart(const std::string& path)
{
    const auto last = path.rfind(kPathSeparator);
    return last == std::string::npos ? path : path.substr(last + 1);
}

}  // namespace ombrix
