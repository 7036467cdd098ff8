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

// A copy that takes no connection (stopped by SIGSTOP or a debugger) still
// runs: however often others ask, long after its queue of connections has
// filled, they are told so and never run beside it.
TEST(InstanceLock, aStoppedCopyStillCountsAsRunning)
{
    const std::string name = testLockName();
    const pid_t holder = holdInChild(name);
    ASSERT_NE(holder, 0);
    ::kill(holder, SIGSTOP);
    std::string ranBeside;
    for (int ask = 0; ask < 100 && ranBeside.empty(); ++ask)
        if (const auto lock = InstanceLock::acquire(name))
            ranBeside = "ask " + std::to_string(ask) + ": " + (lock->held() ? "taken" : lock->unusable());
    killChild(holder);
    EXPECT_EQ(ranBeside, "");
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
    // Asked often enough to fill its queue, and stopped as well, it is still known by its user.
    std::string wrong;
    for (int ask = 0; ask < 40 && wrong.empty(); ++ask) {
        if (ask == 20)
            ::kill(stranger, SIGSTOP);
        const auto lock = InstanceLock::acquire(name);
        if (!lock || lock->held() || lock->unusable().find("user 65534") == std::string::npos)
            wrong = "ask " + std::to_string(ask) + ": " + (!lock ? "refused as if another copy ran" : lock->unusable());
    }
    killChild(stranger);
    EXPECT_EQ(wrong, "");
}

}  // namespace
}  // namespace ombrix
