#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ombrix::update {

// Only one updater works on a folder at a time. On Linux the lock is an advisory
// lock on the folder itself; on Windows a hidden file opened for no one else and
// deleted when closed. Either leaves no file behind and the system drops it when
// its holder ends, however it ends.
class FolderLock {
public:
    // nullopt when another process holds the lock (errno EWOULDBLOCK) or the
    // folder cannot be opened (errno says why).
    static std::optional<FolderLock> tryAcquire(const std::string& folder);

    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&&) = delete;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

private:
    explicit FolderLock(std::intptr_t handle) : handle_(handle) {}

    std::intptr_t handle_ = -1;  // a descriptor, or a HANDLE
};

}  // namespace ombrix::update
