#include "InstanceLock.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>

extern char** environ;

namespace ombrix {
namespace {

// A name of this test's own, so that no running copy of the program and no
// other test run takes part.
std::string testLockName()
{
    static int serial = 0;
    return "ombrix-test-" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
}

void killChild(pid_t child)
{
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

// A child process, run as `uid` when given, that takes the lock on `name` and
// holds it until killed. Returns its id once it holds the lock, or 0.
pid_t holdInChild(const std::string& name, uid_t uid = ::getuid())
{
    int ready[2];
    if (::pipe(ready) != 0)
        return 0;
    const pid_t child = ::fork();
    if (child == 0) {
        const auto lock = ::setuid(uid) == 0 ? InstanceLock::acquire(name) : std::nullopt;
        (void)!::write(ready[1], lock && lock->held() ? "y" : "n", 1);
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    const bool ok = ::read(ready[0], &held, 1) == 1 && held == 'y';
    ::close(ready[0]);
    ::close(ready[1]);
    if (!ok)
        killChild(child);
    return ok ? child : 0;
}

// The lock is the running copy's alone: programs it started do not keep it,
// however often others ask they are told a copy runs, and a copy that crashed
// does not keep every later copy from starting.
TEST(InstanceLock, secondCopyIsRefusedWhileTheFirstHoldsTheLock)
{
    const std::string name = testLockName();
    std::optional<InstanceLock> first = InstanceLock::acquire(name);
    ASSERT_TRUE(first && first->held()) << (first ? first->unusable() : "refused");
    for (int ask = 0; ask < 200; ++ask)
        ASSERT_FALSE(InstanceLock::acquire(name)) << "ask " << ask;
    pid_t sleeper = 0;
    char sleepName[] = "sleep", seconds[] = "30";
    char* argv[] = {sleepName, seconds, nullptr};
    ASSERT_EQ(::posix_spawnp(&sleeper, "sleep", nullptr, nullptr, argv, environ), 0);
    first.reset();
    const pid_t crashed = holdInChild(name);
    killChild(sleeper);
    ASSERT_NE(crashed, 0) << "a program the first copy started kept the lock";
    killChild(crashed);
    const auto next = InstanceLock::acquire(name);
    EXPECT_TRUE(next && next->held());
}

// Another user's process on the name cannot keep this user's copies from
// running for ever: the lock is unusable, not held by another copy.
TEST(InstanceLock, aNameHeldByAnotherUserLeavesTheLockUnusable)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to hold the name as another user";
    const std::string name = testLockName();
    const pid_t stranger = holdInChild(name, 65534);
    ASSERT_NE(stranger, 0);
    const auto lock = InstanceLock::acquire(name);
    killChild(stranger);
    ASSERT_TRUE(lock) << "refused as if another copy ran";
    EXPECT_FALSE(lock->held());
    EXPECT_NE(lock->unusable().find("user 65534"), std::string::npos) << lock->unusable();
}

}  // namespace
}  // namespace ombrix
