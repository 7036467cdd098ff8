#include "InstanceLock.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "TempTree.h"

extern char** environ;

namespace ombrix {
namespace {

using test::TempTree;

TEST(InstanceLock, secondCopyIsRefusedWhileTheFirstHoldsTheLock)
{
    TempTree temp;
    const std::string path = temp.path("ombrix.lock");
    std::optional<InstanceLock> first = InstanceLock::acquire(path);
    ASSERT_TRUE(first);
    EXPECT_FALSE(InstanceLock::acquire(path));
    first.reset();
    EXPECT_TRUE(InstanceLock::acquire(path));
}

TEST(InstanceLock, lockOfAKilledCopyIsTakenOver)
{
    TempTree temp;
    const std::string path = temp.path("ombrix.lock");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto lock = InstanceLock::acquire(path);
        const char held = lock ? 'y' : 'n';
        (void)!::write(ready[1], &held, 1);
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 'y');
    EXPECT_FALSE(InstanceLock::acquire(path));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_TRUE(InstanceLock::acquire(path));
}

TEST(InstanceLock, programsStartedByTheHolderDoNotKeepTheLock)
{
    TempTree temp;
    const std::string path = temp.path("ombrix.lock");
    std::optional<InstanceLock> lock = InstanceLock::acquire(path);
    ASSERT_TRUE(lock);
    pid_t child = 0;
    char sleepName[] = "sleep";
    char seconds[] = "30";
    char* argv[] = {sleepName, seconds, nullptr};
    ASSERT_EQ(::posix_spawnp(&child, "sleep", nullptr, nullptr, argv, environ), 0);
    lock.reset();
    EXPECT_TRUE(InstanceLock::acquire(path));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

// Sets environment variables for one scope and puts the old values back.
class ScopedEnvironment {
public:
    void set(const char* name, const char* value)
    {
        const char* old = std::getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnvironment()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(InstanceLock, runtimeFolderFirstElseTheSettingsFolder)
{
    TempTree temp;
    ScopedEnvironment environment;
    environment.set("XDG_RUNTIME_DIR", temp.root().c_str());
    environment.set("XDG_CONFIG_HOME", nullptr);
    environment.set("HOME", temp.path("home").c_str());
    EXPECT_EQ(InstanceLock::defaultPath(), temp.path("ombrix.lock"));

    environment.set("XDG_RUNTIME_DIR", nullptr);
    EXPECT_EQ(InstanceLock::defaultPath(), temp.path("home/.config/ombrix/ombrix.lock"));
    environment.set("XDG_CONFIG_HOME", temp.path("config").c_str());
    EXPECT_EQ(InstanceLock::defaultPath(), temp.path("config/ombrix/ombrix.lock"));
    EXPECT_TRUE(InstanceLock::acquire(InstanceLock::defaultPath()));
}

}  // namespace
}  // namespace ombrix
