#include "InstanceLock.h"

#include <gtest/gtest.h>

#include "ProbeProcess.h"

namespace ombrix {
namespace {

using test::probeProgram;
using test::startProcess;

// A name of this test's own, so that no running copy of the program and no
// other test run takes part.
std::string testLockName()
{
    static int serial = 0;
    return "Local\\ombrix-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
}

// A probe process that holds the lock `name` until it is ended; null when it
// could not take it.
HANDLE holdInProbe(const std::string& name)
{
    HANDLE output = nullptr;
    HANDLE probe = startProcess('"' + probeProgram() + "\" hold " + name, &output);
    if (!probe)
        return nullptr;
    char held = 0;
    DWORD got = 0;
    const bool ok = ReadFile(output, &held, 1, &got, nullptr) && got == 1 && held == 'y';
    CloseHandle(output);
    if (!ok) {
        TerminateProcess(probe, 1);
        CloseHandle(probe);
        return nullptr;
    }
    return probe;
}

void kill(HANDLE process)
{
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
}

// The lock is the running copy's alone: however often others ask they are
// told a copy runs, programs it started do not keep it, and a copy that was
// killed does not keep later copies from starting.
TEST(InstanceLock, secondCopyIsRefusedWhileTheFirstHoldsTheLock)
{
    const std::string name = testLockName();
    std::optional<InstanceLock> first = InstanceLock::acquire(name);
    ASSERT_TRUE(first && first->held()) << (first ? first->unusable() : "refused");
    for (int ask = 0; ask < 200; ++ask)
        ASSERT_FALSE(InstanceLock::acquire(name)) << "ask " << ask;
    ASSERT_EQ(holdInProbe(name), nullptr) << "another process took the lock the first copy holds";

    // Started with every inheritable handle, as a launched program may be.
    HANDLE startedOutput = nullptr;
    HANDLE started = startProcess('"' + probeProgram() + "\" hold " + testLockName(), &startedOutput);
    first.reset();
    HANDLE killed = holdInProbe(name);
    if (started) {
        kill(started);
        CloseHandle(startedOutput);
    }
    ASSERT_NE(killed, nullptr) << "the lock outlived its copy";
    EXPECT_FALSE(InstanceLock::acquire(name));
    kill(killed);
    const auto next = InstanceLock::acquire(name);
    EXPECT_TRUE(next && next->held());
}

}  // namespace
}  // namespace ombrix
