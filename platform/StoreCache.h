#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "StoreFolder.h"

namespace ombrix::quarantine {

// The store folders this program takes into, each opened once, as a scan takes
// many files from one file system: by the key of the file system they serve
// (nullptr: it has none), and the user's own. Safe from any thread.
template <class Key>
class StoreCache {
public:
    // `open()` gives the store of the file system `key` names, when it is not known yet.
    template <class Open>
    std::shared_ptr<StoreFolder> forKey(const Key& key, Open open)
    {
        const std::lock_guard guard(lock_);
        const auto found = byKey_.find(key);
        if (found != byKey_.end())
            return found->second;
        return byKey_.emplace(key, shared(open())).first->second;
    }

    // `open()` gives the user's own store; tried again while it gives none.
    template <class Open>
    std::shared_ptr<StoreFolder> home(Open open)
    {
        const std::lock_guard guard(lock_);
        if (!home_)
            home_ = shared(open());
        return home_;
    }

private:
    static std::shared_ptr<StoreFolder> shared(std::optional<StoreFolder> store)
    {
        return store ? std::make_shared<StoreFolder>(std::move(*store)) : nullptr;
    }

    std::mutex lock_;
    std::map<Key, std::shared_ptr<StoreFolder>> byKey_;
    std::shared_ptr<StoreFolder> home_;
};

}  // namespace ombrix::quarantine
