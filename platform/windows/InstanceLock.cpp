#include "InstanceLock.h"

#include <windows.h>
#include <sddl.h>

#include <utility>
#include <vector>

#include "ErrorText.h"

namespace ombrix {

namespace {

// The user's security identifier as text ("S-1-5-21-..."); empty when it cannot be read.
std::string userSid()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    std::string text;
    char* sid = nullptr;
    if (size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
        ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
        text = sid;
        LocalFree(sid);
    }
    CloseHandle(token);
    return text;
}

}  // namespace

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
    return "Local\\ombrix-" + userSid();
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
