#pragma once

#include <optional>
#include <string>

namespace ombrix {

// The per-user lock that lets only one copy of the program run. It is an
// advisory lock on an open file, so the kernel drops it when its holder ends,
// however it ends: a crashed copy never blocks the next one.
class InstanceLock {
public:
    // Takes the lock on the file at `path`, creating the file when needed.
    // nullopt when another process holds it or the file cannot be opened.
    static std::optional<InstanceLock> acquire(const std::string& path);

    // $XDG_RUNTIME_DIR/ombrix.lock, else ombrix.lock in the settings folder
    // (${XDG_CONFIG_HOME:-$HOME/.config}/ombrix, created when missing).
    static std::string defaultPath();

    InstanceLock(InstanceLock&& other) noexcept;
    InstanceLock& operator=(InstanceLock&& other) noexcept;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

private:
    explicit InstanceLock(int fd) : fd_(fd) {}

    int fd_ = -1;
};

}  // namespace ombrix
