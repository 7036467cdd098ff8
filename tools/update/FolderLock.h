#pragma once

#include <optional>
#include <string>

namespace ombrix::update {

// Only one updater works on a program folder at a time. The lock is an advisory
// lock on the folder itself, so it leaves no file behind and the kernel drops it
// when its holder ends, however it ends.
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
    explicit FolderLock(int fd) : fd_(fd) {}

    int fd_ = -1;
};

}  // namespace ombrix::update
