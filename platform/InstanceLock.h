#pragma once

#include <optional>
#include <string>
#include <thread>

namespace ombrix {

// The per-user lock that lets only one copy of the program run: a listening
// socket in Linux's abstract namespace, named after the user id. It needs no
// file, folder or environment variable, so the desktop, a terminal, cron and
// systemd all find the same one, and the kernel drops it when its holder ends,
// however it ends. Processes in another network namespace (a container) do
// not see it.
class InstanceLock {
public:
    // Takes the lock `name`. nullopt when another process of this user holds
    // it: another copy is running. When the lock cannot be used at all (the
    // name is held by another user's process, or no socket can be made), the
    // result holds nothing and says why: running without the lock is better
    // than never running again.
    static std::optional<InstanceLock> acquire(const std::string& name = userLockName());

    // "ombrix-" followed by the real user id.
    static std::string userLockName();

    bool held() const { return fd_ >= 0; }
    // Why the lock could not be used; empty when it is held.
    const std::string& unusable() const { return unusable_; }

    InstanceLock(InstanceLock&& other) noexcept;
    InstanceLock& operator=(InstanceLock&& other) noexcept;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

private:
    explicit InstanceLock(int fd);
    explicit InstanceLock(std::string unusable) : unusable_(std::move(unusable)) {}
    void release();

    int fd_ = -1;
    // Accepts and drops the connections other copies make to learn who holds the lock.
    std::thread answerer_;
    std::string unusable_;
};

}  // namespace ombrix
