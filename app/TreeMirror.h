#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>

#include "DriveTree.h"

namespace ombrix {

// A toolkit's tree widget kept in step with a DriveTree. `Item` is the
// widget's handle of one entry (a pointer or a handle; a default-made one is
// "none"). Entries are only ever added, so a sync shows the ones added since
// the last; a tree cleared and filled afresh is shown afresh.
template <typename Item>
class TreeMirror {
public:
    // `clear()` empties the widget; `add(entry, parent)` shows an entry below
    // `parent` (none for the top level) and returns its item; `expand(item,
    // expanded)` and `select(item)` follow the form's state.
    template <typename Clear, typename Add, typename Expand, typename Select>
    void sync(const DriveTree& tree, Clear clear, Add add, Expand expand, Select select)
    {
        const auto& entries = tree.entries();
        if (!shownGeneration_ || *shownGeneration_ != tree.generation()) {
            clear();
            items_.clear();
            keys_.clear();
            shownGeneration_ = tree.generation();
        }
        for (const TreeEntry& entry : entries) {
            if (items_.contains(entry.key))
                continue;
            const Item item = add(entry, entry.parentKey.empty() ? Item{} : items_.at(entry.parentKey));
            items_.emplace(entry.key, item);
            keys_.emplace(item, entry.key);
        }
        for (const TreeEntry& entry : entries)
            expand(items_.at(entry.key), entry.expanded);
        if (const TreeEntry* selected = tree.selected())
            select(items_.at(selected->key));
    }

    // The key of the entry `item` shows; empty for an item of no entry.
    std::string keyOf(Item item) const
    {
        const auto key = keys_.find(item);
        return key == keys_.end() ? std::string() : key->second;
    }

private:
    std::unordered_map<std::string, Item> items_;
    std::map<Item, std::string> keys_;
    std::optional<std::uint64_t> shownGeneration_;
};

}  // namespace ombrix
