// The settings store as processes meet it, through the real programs on
// stores in temporary folders: many programs on a new store, first writes
// killed halfway, places the reader cannot write, a store another program holds.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "MountNamespace.h"
#include "RunProgram.h"
#include "TempTree.h"

namespace ombrix::test {
namespace {

using namespace std::chrono_literals;

constexpr uid_t kRoot = 0;
constexpr uid_t kNobody = 65534;

// Starts a program in a child; `out` takes its stdout (else /dev/null, as
// stderr always). A `held` child stops before it starts the program, so that
// several can be let go at once with SIGCONT.
pid_t start(const std::vector<std::string>& argv, bool held = false, uid_t uid = kRoot, int out = -1)
{
    std::vector<char*> args;
    for (const auto& word : argv)
        args.push_back(const_cast<char*>(word.c_str()));
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(out >= 0 ? out : null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        if (held)
            ::raise(SIGSTOP);
        if (uid != kRoot && ::setuid(uid) != 0)
            std::_Exit(126);
        ::execv(args[0], args.data());
        std::_Exit(127);
    }
    if (held)
        ::waitpid(pid, nullptr, WUNTRACED);
    return pid;
}

// The exit status, or -1 when a signal ended the program.
int finish(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string settingsOutput(const std::vector<std::string>& args, uid_t uid = kRoot)
{
    int fds[2];
    (void)!::pipe2(fds, O_CLOEXEC);
    std::vector<std::string> argv{OMBRIX_SETTINGS_TOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    const pid_t pid = start(argv, false, uid, fds[1]);
    ::close(fds[1]);
    std::string out;
    char buffer[512];
    for (ssize_t got; (got = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, got);
    ::close(fds[0]);
    return out + "status " + std::to_string(finish(pid));
}

class StoreProcesses : public ::testing::Test {
protected:
    void SetUp() override { tree_.file("list.ini", "Trojan.A\tbad.exe\r\n"); }
    void useStore(const std::string& file) { ::setenv("OMBRIX_SETTINGS", file.c_str(), 1); }
    std::vector<std::string> scan(const std::string& key, const std::string& folder)
    {
        return {OMBRIX_SCAN_TOOL, "--signatures", tree_.path("list.ini"), "--record", key, tree_.path(folder)};
    }

    TempTree tree_;
};

// Each round: three settings writers, a scan recording its seven values and
// two readers start at once on a store that does not exist yet, folders included.
TEST_F(StoreProcesses, racingCreatorsAndReadersOfANewStoreLoseNothing)
{
    constexpr int kRounds = 40;
    tree_.dir("empty");
    int failures = 0;
    int lost = 0;
    for (int round = 0; round < kRounds; ++round) {
        useStore(tree_.path("race" + std::to_string(round) + "/config/ombrix/settings.db"));
        std::vector<pid_t> racers;
        for (const char* name : {"W0", "W1", "W2"})
            racers.push_back(start({OMBRIX_SETTINGS_TOOL, "set", name, std::to_string(round)}, true));
        racers.push_back(start(scan("Scan", "empty"), true));
        racers.push_back(start({OMBRIX_SETTINGS_TOOL, "list"}, true));
        racers.push_back(start({OMBRIX_SETTINGS_TOOL, "--key", "Scan", "list"}, true));
        for (const pid_t racer : racers)
            ::kill(racer, SIGCONT);
        for (const pid_t racer : racers)
            failures += finish(racer) != 0;
        for (const char* name : {"W0", "W1", "W2"})
            lost += settingsOutput({"get", name}) != std::to_string(round) + "\nstatus 0";
        const std::string recorded = settingsOutput({"--key", "Scan", "list"});
        lost += 7 - int(std::count(recorded.begin(), recorded.end(), '\n'));
    }
    std::cout << kRounds << " rounds of 4 writers and 2 readers on a new store: " << failures << " failures, " << lost
              << " lost values\n";
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(lost, 0);
}

// What a first write killed at a random moment leaves (nothing, an empty
// file, a half-written file with its journal, or the store) reads and takes
// writes like any store.
TEST_F(StoreProcesses, aFirstWriteKilledAnywhereLeavesAUsableStore)
{
    constexpr int kKills = 100;
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delayUs(0, 20000);
    int halfMade = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const std::string store = tree_.path("kill" + std::to_string(kill) + "/ombrix/settings.db");
        useStore(store);
        const pid_t writer = start({OMBRIX_SETTINGS_TOOL, "set", "A", "1"});
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(writer, SIGKILL);
        struct stat info {};
        halfMade += finish(writer) == -1 && ::stat(store.c_str(), &info) == 0 &&
                    (info.st_size == 0 || ::access((store + "-journal").c_str(), F_OK) == 0);

        const std::string listed = settingsOutput({"list"});
        ASSERT_TRUE(listed == "status 0" || listed == "A\t1\t1\nstatus 0") << "kill " << kill << ": " << listed;
        ASSERT_EQ(settingsOutput({"set", "B", "2"}), "status 0") << "kill " << kill;
        ASSERT_EQ(settingsOutput({"get", "B"}), "2\nstatus 0") << "kill " << kill;
    }
    std::cout << kKills << " first writes killed, " << halfMade << " of them while the store was half made\n";
}

// The names in the store's folder and the store's bytes.
std::string snapshot(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename());
    std::string text = readFile(folder + "/settings.db");
    for (const auto& name : names)
        text += "\n" + name;
    return text;
}

// Reads and lists the stored "AutoRepair" 0 as `uid`, which cannot write;
// its write is refused. Empty when that held and nothing in the folder changed.
std::string readOnlyProblems(const std::string& folder, uid_t uid)
{
    const std::string before = snapshot(folder);
    std::string problems;
    for (const auto& [args, expected] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"get", "AutoRepair", "1"}, "0\nstatus 0"},
             {{"list"}, "AutoRepair\t1\t0\nstatus 0"},
             {{"set", "AutoRepair", "1"}, "status 1"}}) {
        if (const std::string got = settingsOutput(args, uid); got != expected)
            problems += args.front() + " gave " + got + "; ";
    }
    if (snapshot(folder) != before)
        problems += "the folder or the store changed";
    return problems;
}

TEST_F(StoreProcesses, aStoreInAPlaceTheReaderCannotWriteReadsItsValuesAndCreatesNothing)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to read as another user";
    const std::string folder = tree_.path("settings");
    const std::string store = folder + "/settings.db";
    useStore(store);
    ASSERT_EQ(settingsOutput({"set", "AutoRepair", "0"}), "status 0");
    ::chown(folder.c_str(), kNobody, kNobody);
    ::chown(store.c_str(), kNobody, kNobody);

    for (const auto& [folderMode, fileMode] : {std::pair{0555, 0644}, std::pair{0755, 0444}}) {
        ::chmod(folder.c_str(), folderMode);
        ::chmod(store.c_str(), fileMode);
        EXPECT_EQ(readOnlyProblems(folder, kNobody), "") << "folder " << folderMode << ", file " << fileMode;
        // Nothing was left behind that keeps the owner from writing once the place is writable.
        ::chmod(folder.c_str(), 0755);
        ::chmod(store.c_str(), 0644);
        EXPECT_EQ(settingsOutput({"set", "AutoRepair", "0"}, kNobody), "status 0");
    }

    const Isolated mounted = inOwnMountNamespace([&] {
        if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
            return Isolated::Unavailable;
        const std::string problems = readOnlyProblems(folder, kRoot);
        std::cerr << problems;
        return problems.empty() ? Isolated::Passed : Isolated::Failed;
    });
    if (mounted == Isolated::Unavailable)
        GTEST_SKIP() << "no private mount namespace with a read-only bind mount here: "
                        "the read-only mount case is skipped";
    EXPECT_EQ(mounted, Isolated::Passed) << "a store on a read-only mount";
}

// On a file system without room a write fails naming the real reason; the
// values stored before stay, and the store takes writes again once there is room.
TEST_F(StoreProcesses, aFullFileSystemIsNamedAsTheReasonAndTheStoreKeepsItsValues)
{
    const std::string folder = tree_.path("full");
    tree_.dir("full");
    tree_.file("scan/bad.exe");
    const Isolated outcome = inOwnMountNamespace([&] {
        if (::mount("ombrix-full", folder.c_str(), "tmpfs", 0, "size=64k") != 0)
            return Isolated::Unavailable;
        useStore(folder + "/settings.db");
        std::string problems;
        const auto check = [&](const std::string& what, const ProgramResult& result, int status) {
            const bool named = result.err.find("database or disk is full") != std::string::npos ||
                               result.err.find("No space left on device") != std::string::npos;
            if (result.status != status || !named)
                problems += what + ": status " + std::to_string(result.status) + ", " + result.err;
        };
        check("the first write", runProgram({OMBRIX_SETTINGS_TOOL, "set", "Kept", "1"}), 0);
        problems.clear();
        std::ofstream fill(folder + "/fill", std::ios::binary);
        const std::string block(4096, 'x');
        while (fill.write(block.data(), block.size()) && fill.flush())
            continue;
        fill.close();
        check("set", runProgram({OMBRIX_SETTINGS_TOOL, "set", "Big", std::string(30000, 'x')}), 1);
        check("set in a new key", runProgram({OMBRIX_SETTINGS_TOOL, "--key", "New\\Key", "set", "A", "1"}), 1);
        check("a recording scan", runProgram(scan("Software\\Test", "scan")), 2);
        if (settingsOutput({"get", "Kept"}) != "1\nstatus 0")
            problems += "the value stored before is gone: " + settingsOutput({"get", "Kept"});
        std::filesystem::remove(folder + "/fill");
        if (settingsOutput({"set", "After", "1"}) != "status 0" || settingsOutput({"get", "After"}) != "1\nstatus 0")
            problems += "the store takes no write once there is room";
        std::cerr << problems;
        return problems.empty() ? Isolated::Passed : Isolated::Failed;
    });
    if (outcome == Isolated::Unavailable)
        GTEST_SKIP() << "a full file system is made as a tmpfs of 64 KiB in a private mount namespace, "
                        "which needs root or unprivileged user namespaces; neither is granted here";
    EXPECT_EQ(outcome, Isolated::Passed);
}

TEST_F(StoreProcesses, aScanRecordingIntoAHeldStoreEndsSoonAfterSigterm)
{
    const std::string store = tree_.path("settings.db");
    useStore(store);
    ASSERT_EQ(settingsOutput({"set", "Status", "0"}), "status 0");
    // The write lock is this process's own; the scan is another process and must wait for it.
    sqlite3* db = nullptr;
    sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    ASSERT_EQ(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

    tree_.file("scan/bad.exe");
    const pid_t scanner = start(scan("Result", "scan"));
    // The walk never opens the store: once the scan has it open, it is recording.
    const auto hasStoreOpen = [&] {
        std::error_code error;
        for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(scanner) + "/fd", error))
            if (std::filesystem::read_symlink(fd.path(), error) == store)
                return true;
        return false;
    };
    for (int wait = 0; wait < 1000 && !hasStoreOpen(); ++wait)
        std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(::waitpid(scanner, nullptr, WNOHANG), 0) << "the scan did not wait for the store";
    const auto signaled = std::chrono::steady_clock::now();
    ::kill(scanner, SIGTERM);
    EXPECT_EQ(finish(scanner), 2) << "a record the store refused";
    // Well before the ten seconds a scan waits for the store, even on a loaded machine.
    EXPECT_LT(std::chrono::steady_clock::now() - signaled, 5s);
    sqlite3_close(db);
}

// The scan is stopped mid-walk (its output pipe is full and unread, so it
// cannot have finished), then its reader goes away: neither SIGPIPE nor the
// cancel costs the record, and the exit status tells the cancel.
TEST_F(StoreProcesses, aCanceledScanWithoutAReaderExitsThreeAndStillRecords)
{
    useStore(tree_.path("settings.db"));
    // Lines long enough to fill a pipe long before the walk ends.
    const std::string name(180, 'f');
    for (int n = 0; n < 600; ++n)
        tree_.file("many/" + name + std::to_string(n) + "/bad.exe");
    int output[2];
    ASSERT_EQ(::pipe2(output, O_CLOEXEC), 0);
    const pid_t scanner = start(scan("Result", "many"), false, kRoot, output[1]);
    ::close(output[1]);
    const int capacity = ::fcntl(output[0], F_GETPIPE_SZ);
    int queued = 0;
    for (int wait = 0; wait < 1000 && queued < capacity - 4096; ++wait) {
        std::this_thread::sleep_for(10ms);
        ::ioctl(output[0], FIONREAD, &queued);
    }
    ASSERT_EQ(::waitpid(scanner, nullptr, WNOHANG), 0) << "the scan did not wait for its reader";
    ::kill(scanner, SIGTERM);
    ::close(output[0]);
    EXPECT_EQ(finish(scanner), 3);
    const std::string found = settingsOutput({"--key", "Result", "get", "Found", "0"});
    EXPECT_GT(std::stoi(found), 1) << found;
    EXPECT_LT(std::stoi(found), 601) << "the walk was not cut short";
}

}  // namespace
}  // namespace ombrix::test
