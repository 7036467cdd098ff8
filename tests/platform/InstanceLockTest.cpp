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

// The lock is the running copy's alone: programs it started do not keep it,
// and however often others ask, they are told a copy runs.
TEST(InstanceLock, secondCopyIsRefusedWhileTheFirstHoldsTheLock)
{
    const std::string name = testLockName();
    std::optional<InstanceLock> first = InstanceLock::acquire(name);
    ASSERT_TRUE(first && first->held()) << (first ? first->unusable() : "refused");
    for (int ask = 0; ask < 200; ++ask)
        ASSERT_FALSE(InstanceLock::acquire(name)) << "ask " << ask;
    pid_t child = 0;
    char sleepName[] = "sleep";
    char seconds[] = "30";
    char* argv[] = {sleepName, seconds, nullptr};
    ASSERT_EQ(::posix_spawnp(&child, "sleep", nullptr, nullptr, argv, environ), 0);
    first.reset();
    const auto second = InstanceLock::acquire(name);
    EXPECT_TRUE(second && second->held());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

// A copy that crashed must not keep every later copy from starting.
TEST(InstanceLock, lockOfACrashedCopyIsTakenOver)
{
    const std::string name = testLockName();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto lock = InstanceLock::acquire(name);
        ::kill(::getpid(), SIGKILL);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const auto lock = InstanceLock::acquire(name);
    EXPECT_TRUE(lock && lock->held());
}

// Another user's process on the name cannot keep this user's copies from
// running for ever: the lock is unusable, not held by another copy.
TEST(InstanceLock, aNameHeldByAnotherUserLeavesTheLockUnusable)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to hold the name as another user";
    const std::string name = testLockName();
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t stranger = ::fork();
    ASSERT_GE(stranger, 0);
    if (stranger == 0) {
        if (::setuid(65534) != 0)
            ::_exit(1);
        const auto lock = InstanceLock::acquire(name);
        (void)!::write(ready[1], lock && lock->held() ? "y" : "n", 1);
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    ASSERT_EQ(held, 'y');
    const auto lock = InstanceLock::acquire(name);
    ::kill(stranger, SIGKILL);
    ::waitpid(stranger, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_TRUE(lock) << "refused as if another copy ran";
    EXPECT_FALSE(lock->held());
    EXPECT_NE(lock->unusable().find("user 65534"), std::string::npos) << lock->unusable();
}

}  // namespace
}  // namespace ombrix
