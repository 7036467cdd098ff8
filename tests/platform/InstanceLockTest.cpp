#include "InstanceLock.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "TempTree.h"

extern char** environ;

namespace ombrix {
namespace {

using test::TempTree;

// The lock is the running copy's alone: programs it started do not keep it.
TEST(InstanceLock, secondCopyIsRefusedWhileTheFirstHoldsTheLock)
{
    TempTree temp;
    std::optional<InstanceLock> first = InstanceLock::acquire(temp.path("ombrix.lock"));
    ASSERT_TRUE(first);
    EXPECT_FALSE(InstanceLock::acquire(temp.path("ombrix.lock")));
    pid_t child = 0;
    char sleepName[] = "sleep";
    char seconds[] = "30";
    char* argv[] = {sleepName, seconds, nullptr};
    ASSERT_EQ(::posix_spawnp(&child, "sleep", nullptr, nullptr, argv, environ), 0);
    first.reset();
    EXPECT_TRUE(InstanceLock::acquire(temp.path("ombrix.lock")));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

// A copy that crashed must not keep every later copy from starting.
TEST(InstanceLock, lockOfACrashedCopyIsTakenOver)
{
    TempTree temp;
    const std::string path = temp.path("ombrix.lock");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto lock = InstanceLock::acquire(path);
        // No clean-up runs, as in a crash.
        ::_exit(lock ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0) << "the other copy could not take the lock";
    EXPECT_TRUE(InstanceLock::acquire(path));
}

TEST(InstanceLock, runtimeFolderFirstElseTheSettingsFolder)
{
    const char* names[] = {"XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "HOME"};
    std::optional<std::string> saved[3];
    for (int i = 0; i < 3; ++i) {
        if (const char* value = std::getenv(names[i]))
            saved[i] = value;
    }
    TempTree temp;
    ::setenv("XDG_RUNTIME_DIR", temp.root().c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", temp.path("home").c_str(), 1);
    EXPECT_EQ(InstanceLock::defaultPath(), temp.path("ombrix.lock"));
    ::setenv("XDG_RUNTIME_DIR", "relative", 1);
    EXPECT_EQ(InstanceLock::defaultPath(), temp.path("home/.config/ombrix/ombrix.lock"));
    ::setenv("XDG_CONFIG_HOME", temp.path("config").c_str(), 1);
    EXPECT_EQ(InstanceLock::defaultPath(), temp.path("config/ombrix/ombrix.lock"));
    EXPECT_TRUE(InstanceLock::acquire(InstanceLock::defaultPath()));

    for (int i = 0; i < 3; ++i)
        saved[i] ? ::setenv(names[i], saved[i]->c_str(), 1) : ::unsetenv(names[i]);
}

}  // namespace
}  // namespace ombrix
