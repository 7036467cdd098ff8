#include "InstanceLock.h"

#include <windows.h>

#include <utility>

#include "ErrorText.h"
#include "UserSid.h"

namespace ombrix {

// The mutex's handle. Not inheritable, so programs we start do not keep it;
// the mutex goes when the last handle closes, also when the process is killed.
struct InstanceLock::Holder {
    explicit Holder(HANDLE mutex) : handle(mutex) {}
    ~Holder() { CloseHandle(handle); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    HANDLE handle;
};

std::string InstanceLock::userLockName()
{
    // "Local\" is the session's namespace; the user's identifier keeps apart
    // users who share a session (a program started as another user).
    return "Local\\ombrix-" + UserSid();
}

std::optional<InstanceLock> InstanceLock::acquire(const std::string& name)
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    const DWORD error = GetLastError();
    if (!mutex) {
        // Another user's mutex of that name keeps us out with its access rights.
        if (error == ERROR_ACCESS_DENIED)
            return InstanceLock(std::string("it is held by a process of another user"));
        return InstanceLock("cannot make its mutex: " + ErrorText(error));
    }
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return std::nullopt;
    }
    return InstanceLock(std::make_unique<Holder>(mutex));
}

InstanceLock::InstanceLock(std::unique_ptr<Holder> holder) : holder_(std::move(holder)) {}
InstanceLock::InstanceLock(std::string unusable) : unusable_(std::move(unusable)) {}
InstanceLock::InstanceLock(InstanceLock&& other) noexcept = default;
InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept = default;
InstanceLock::~InstanceLock() = default;

}  // namespace ombrix
