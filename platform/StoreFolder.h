#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Quarantine.h"

namespace ombrix::quarantine {

// One quarantine folder of this user, held open (checked to be a folder of its
// own, not reached through a link) while the object lives. What both platforms
// do with it alike is in Quarantine.cpp; the rest is each platform's.
class StoreFolder {
public:
    // Every quarantine folder of this user that exists, each once: one at the
    // top of each file system and the user's own.
    static std::vector<StoreFolder> All();

    StoreFolder(std::intptr_t handle, std::string path, bool ownFileSystem);
    StoreFolder(StoreFolder&& other) noexcept;
    StoreFolder& operator=(StoreFolder&& other) noexcept;
    StoreFolder(const StoreFolder&) = delete;
    StoreFolder& operator=(const StoreFolder&) = delete;
    ~StoreFolder();

    // The platform's descriptor or handle of the folder.
    std::intptr_t handle() const { return handle_; }
    const std::string& path() const { return path_; }
    // False for the user's own folder, which holds copies from other file systems.
    bool ownFileSystem() const { return ownFileSystem_; }

    // While locked, no other process takes into, recovers or changes the folder.
    bool lock() const;
    void unlock() const;

    std::vector<std::string> names() const;
    std::optional<std::string> read(const std::string& name) const;
    bool holds(const std::string& name) const;
    bool remove(const std::string& name) const;
    // What a held file is: size, digest, mode, owner, group and times.
    std::optional<Entry> describe(const std::string& name) const;
    // Adds `text` to the end of the file `name`.
    bool append(const std::string& name, const std::string& text) const;
    // Makes a held file harmless where it lies (no read or execute bits).
    void seal(const std::string& name) const;
    // Puts the held file of `entry` back at `target` as it was; never replaces
    // what stands there. Leaves the record alone.
    Result putBack(const Entry& entry, const std::string& target, bool makeParents) const;

private:
    std::intptr_t handle_;
    std::string path_;
    bool ownFileSystem_ = true;
};

// Holds a folder's lock for a scope.
class StoreLock {
public:
    explicit StoreLock(const StoreFolder& folder) : folder_(folder), held_(folder.lock()) {}
    ~StoreLock()
    {
        if (held_)
            folder_.unlock();
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool held() const { return held_; }

private:
    const StoreFolder& folder_;
    bool held_;
};

}  // namespace ombrix::quarantine
