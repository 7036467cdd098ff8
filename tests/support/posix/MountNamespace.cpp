#include "MountNamespace.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace ombrix::test {

namespace {

constexpr int kUnavailable = 77;

void writeText(const char* path, const std::string& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
        (void)!::write(fd, text.data(), text.size());
        ::close(fd);
    }
}

// Root gets a plain mount namespace; anyone else one inside a user namespace
// in which they are root.
bool enterOwnMountNamespace()
{
    if (::unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        writeText("/proc/self/setgroups", "deny");
        writeText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
        writeText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

}  // namespace

Isolated inOwnMountNamespace(const std::function<Isolated()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (!enterOwnMountNamespace())
            std::_Exit(kUnavailable);
        const Isolated outcome = body();
        std::_Exit(outcome == Isolated::Passed ? 0 : outcome == Isolated::Unavailable ? kUnavailable : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return Isolated::Failed;
    if (WEXITSTATUS(status) == kUnavailable)
        return Isolated::Unavailable;
    return WEXITSTATUS(status) == 0 ? Isolated::Passed : Isolated::Failed;
}

}  // namespace ombrix::test
