#pragma once

#include <memory>
#include <optional>
#include <string>

namespace ombrix {

// The per-user lock that lets only one copy of the program run. The system
// drops it when its holder ends, however it ends, so a copy that crashed never
// keeps later ones out, and programs the holder starts do not inherit it. On
// Linux it is a listening socket in the abstract namespace, named after the
// user id, found alike from the desktop, a terminal, cron and systemd; on
// Windows a named mutex of the user's session.
class InstanceLock {
public:
    // Takes the lock `name`. nullopt when another process of this user holds
    // it: another copy is running. When the lock cannot be used at all (the
    // name is held by another user's process, or the system refuses), the
    // result holds nothing and says why: running without the lock is better
    // than never running again.
    static std::optional<InstanceLock> acquire(const std::string& name = userLockName());

    // The name every copy of this user asks for.
    static std::string userLockName();

    bool held() const { return holder_ != nullptr; }
    // Why the lock could not be used; empty when it is held.
    const std::string& unusable() const { return unusable_; }

    InstanceLock(InstanceLock&& other) noexcept;
    InstanceLock& operator=(InstanceLock&& other) noexcept;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

private:
    // What the platform keeps open while the lock is held; dropping it releases the lock.
    struct Holder;

    explicit InstanceLock(std::unique_ptr<Holder> holder);
    explicit InstanceLock(std::string unusable);

    std::unique_ptr<Holder> holder_;
    std::string unusable_;
};

}  // namespace ombrix
