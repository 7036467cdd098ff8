#include "InstanceLock.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

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

class LockPlace : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

    TempTree temp;

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(LockPlace, runtimeFolderComesFirst)
{
    ::setenv("XDG_RUNTIME_DIR", temp.root().c_str(), 1);
    ::setenv("HOME", (temp.path("home")).c_str(), 1);
    EXPECT_EQ(InstanceLock::defaultPath(), temp.path("ombrix.lock"));
}

TEST_F(LockPlace, settingsFolderWithoutARuntimeFolder)
{
    ::unsetenv("XDG_RUNTIME_DIR");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", (temp.path("home")).c_str(), 1);
    EXPECT_EQ(InstanceLock::defaultPath(), temp.path("home/.config/ombrix/ombrix.lock"));
    EXPECT_TRUE(std::filesystem::is_directory(temp.path("home/.config/ombrix")));

    ::setenv("XDG_CONFIG_HOME", (temp.path("config")).c_str(), 1);
    EXPECT_EQ(InstanceLock::defaultPath(), temp.path("config/ombrix/ombrix.lock"));
    EXPECT_TRUE(InstanceLock::acquire(InstanceLock::defaultPath()));
}

}  // namespace
}  // namespace ombrix
