// The settings store as processes meet it: many programs at once on a new
// store, writers killed halfway, places the reader cannot write, a store
// another program holds, a reader that goes away. Every case runs the real
// programs on stores in temporary folders.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "Gate.h"
#include "MountNamespace.h"
#include "RunProgram.h"
#include "TempTree.h"

namespace ombrix::test {
namespace {

using namespace std::chrono_literals;

constexpr uid_t kNobody = 65534;

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Names in a folder, sorted, with the bytes of the store file: what a reader must leave as it found.
std::string snapshot(const std::string& folder, const std::string& store)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            names.emplace_back(entry->d_name);
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    std::string text;
    for (const auto& name : names)
        text += name + "\n";
    return text + contents(store);
}

class StoreProcesses : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree_.dir("out");
        ::chmod(tree_.path("out").c_str(), 0777);
        tree_.file("list.ini", "' test list\r\nTrojan.A\tbad.exe\r\n");
        tree_.dir("empty");
    }

    void useStore(const std::string& file) { ::setenv("OMBRIX_SETTINGS", file.c_str(), 1); }

    ChildProcess start(const std::string& program, std::vector<std::string> args, ChildProcess::Options options = ChildProcess::kPlain)
    {
        args.insert(args.begin(), program);
        return ChildProcess(args, tree_.path("out/" + std::to_string(++started_)), options);
    }
    ChildProcess settings(std::vector<std::string> args, ChildProcess::Options options = ChildProcess::kPlain)
    {
        return start(OMBRIX_SETTINGS_TOOL, std::move(args), options);
    }
    ChildProcess scan(std::vector<std::string> args, const std::string& folder, ChildProcess::Options options = ChildProcess::kPlain)
    {
        args.insert(args.begin(), {"--signatures", tree_.path("list.ini")});
        args.push_back(tree_.path(folder));
        return start(OMBRIX_SCAN_TOOL, std::move(args), options);
    }
    static ProgramResult settingsNow(std::vector<std::string> args)
    {
        args.insert(args.begin(), OMBRIX_SETTINGS_TOOL);
        return runProgram(args);
    }

    // `count` findings in folders of their own, with names long enough that
    // their lines fill a pipe: "many/<long name><n>/bad.exe".
    void manyFindings(int count)
    {
        const std::string name(180, 'f');
        for (int n = 0; n < count; ++n)
            tree_.file("many/" + name + std::to_string(n) + "/bad.exe");
    }

    TempTree tree_;
    int started_ = 0;
};

// Each round: three settings writers, a recording scan and two readers start
// together on a store that does not exist yet, folders included.
TEST_F(StoreProcesses, racingCreatorsAndReadersOfANewStoreLoseNothing)
{
    constexpr int kRounds = 40;
    int failures = 0;
    int lost = 0;
    std::string firstProblem;
    for (int round = 0; round < kRounds; ++round) {
        useStore(tree_.path("race" + std::to_string(round) + "/config/ombrix/settings.db"));
        Gate gate;
        std::vector<ChildProcess> racers;
        for (const char* name : {"W0", "W1", "W2"})
            racers.push_back(settings({"set", name, std::to_string(round)}, {&gate, std::nullopt, -1}));
        racers.push_back(scan({"--record", "Scan", "--quiet"}, "empty", {&gate, std::nullopt, -1}));
        racers.push_back(settings({"list"}, {&gate, std::nullopt, -1}));
        racers.push_back(settings({"get", "W0", "-"}, {&gate, std::nullopt, -1}));
        gate.open();
        for (ChildProcess& racer : racers) {
            if (racer.wait() == 0 && racer.err().empty())
                continue;
            ++failures;
            if (firstProblem.empty())
                firstProblem = racer.err();
        }
        for (const char* name : {"W0", "W1", "W2"})
            lost += settingsNow({"get", name, "-"}).out != std::to_string(round) + "\n";
        const std::string recorded = settingsNow({"--key", "Scan", "list"}).out;
        lost += 7 - int(std::count(recorded.begin(), recorded.end(), '\n'));
    }
    std::cout << kRounds << " rounds of 4 writers and 2 readers on a new store: " << failures << " failures, " << lost
              << " lost values\n";
    EXPECT_EQ(failures, 0) << firstProblem;
    EXPECT_EQ(lost, 0);
}

// The first write, which makes the store, is killed at a random moment; what
// it leaves (nothing, an empty file, a half-written file and its journal, or
// the whole store) must read and take writes like any store.
TEST_F(StoreProcesses, aFirstWriteKilledAnywhereLeavesAUsableStore)
{
    constexpr int kKills = 100;
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delayUs(0, 20000);
    int cutShort = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const std::string store = tree_.path("kill" + std::to_string(kill) + "/ombrix/settings.db");
        useStore(store);
        ChildProcess writer = settings({"set", "A", "1"});
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(writer.pid(), SIGKILL);
        const bool killed = writer.wait() == -1;
        struct stat info {};
        const bool exists = ::stat(store.c_str(), &info) == 0;
        cutShort += killed && exists && (info.st_size == 0 || ::access((store + "-journal").c_str(), F_OK) == 0);

        const ProgramResult listed = settingsNow({"list"});
        ASSERT_EQ(listed.status, 0) << "kill " << kill << ": " << listed.err;
        ASSERT_TRUE(listed.out.empty() || listed.out == "A\t1\t1\n") << listed.out;
        ASSERT_EQ(settingsNow({"set", "B", "2"}).status, 0) << "kill " << kill;
        ASSERT_EQ(settingsNow({"get", "B"}).out, "2\n") << "kill " << kill;
    }
    std::cout << kKills << " first writes killed, " << cutShort << " of them while the store was half made\n";
}

// Reads the stored "AutoRepair" 0 and lists the store as `uid`; a write is
// refused. Empty when all of that held and nothing at all changed in the folder.
std::string readOnlyProblems(const std::string& folder, const std::string& store, std::optional<uid_t> uid,
                             const std::string& outputPrefix)
{
    const std::string before = snapshot(folder, store);
    std::string problems;
    const auto run = [&](const std::vector<std::string>& args, int status, const std::string& out) {
        std::vector<std::string> argv{OMBRIX_SETTINGS_TOOL};
        argv.insert(argv.end(), args.begin(), args.end());
        ChildProcess tool(argv, outputPrefix + args.front(), {nullptr, uid, -1});
        const int ended = tool.wait();
        if (ended != status || tool.out().find(out) == std::string::npos)
            problems += args.front() + " ended " + std::to_string(ended) + ": " + tool.out() + tool.err();
    };
    run({"get", "AutoRepair", "1"}, 0, "0\n");
    run({"list"}, 0, "AutoRepair\t1\t0\n");
    run({"set", "Scan All", "0"}, 1, "");
    if (snapshot(folder, store) != before)
        problems += "the folder or the store changed; ";
    return problems;
}

TEST_F(StoreProcesses, aStoreInAPlaceTheReaderCannotWriteReadsItsValuesAndCreatesNothing)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to read as another user";
    const std::string folder = tree_.path("settings");
    const std::string store = folder + "/settings.db";
    useStore(store);
    ASSERT_EQ(settingsNow({"set", "AutoRepair", "0"}).status, 0);
    const struct {
        const char* name;
        mode_t folderMode, fileMode;
    } places[] = {{"a folder of mode 0555", 0555, 0644}, {"a store of mode 0444", 0755, 0444}};
    for (const auto& place : places) {
        ::chown(folder.c_str(), kNobody, kNobody);
        ::chown(store.c_str(), kNobody, kNobody);
        ::chmod(folder.c_str(), place.folderMode);
        ::chmod(store.c_str(), place.fileMode);
        EXPECT_EQ(readOnlyProblems(folder, store, kNobody, tree_.path("out/ro-")), "") << place.name;
        // Nothing left behind keeps the owner from writing once the place is writable again.
        ::chmod(folder.c_str(), 0755);
        ::chmod(store.c_str(), 0644);
        ChildProcess writer = settings({"set", "Scan All", "1"}, {nullptr, kNobody, -1});
        EXPECT_EQ(writer.wait(), 0) << place.name << ": " << writer.err();
    }

    const Isolated mounted = inOwnMountNamespace([&] {
        if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
            return Isolated::Unavailable;
        const std::string problems = readOnlyProblems(folder, store, std::nullopt, tree_.path("out/mount-"));
        std::cerr << problems;
        return problems.empty() ? Isolated::Passed : Isolated::Failed;
    });
    if (mounted == Isolated::Unavailable)
        GTEST_SKIP() << "no private mount namespace or read-only bind mount here: the read-only mount case is skipped";
    EXPECT_EQ(mounted, Isolated::Passed) << "a store on a read-only mount";
}

// Holds the store's write lock in a child process until the returned process is killed.
ChildProcess holdWriteLock(const std::string& store, const std::string& outputPrefix)
{
    int ready[2];
    (void)!::pipe(ready);
    const pid_t holder = ::fork();
    if (holder == 0) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(store.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        const bool held = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
        (void)!::write(ready[1], held ? "y" : "n", 1);
        ::pause();
        std::_Exit(0);
    }
    char held = 'n';
    (void)!::read(ready[0], &held, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(held, 'y') << "could not take the store's write lock";
    return ChildProcess::adopt(holder, outputPrefix);
}

TEST_F(StoreProcesses, aScanRecordingIntoAHeldStoreEndsSoonAfterSigterm)
{
    const std::string store = tree_.path("settings.db");
    useStore(store);
    ASSERT_EQ(settingsNow({"set", "Status", "0"}).status, 0);
    ChildProcess holder = holdWriteLock(store, tree_.path("out/holder"));
    tree_.file("scan/bad.exe");
    ChildProcess scanner = scan({"--record", "Result", "--quiet"}, "scan");
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(scanner.running()) << "the scan did not wait for the store: " << scanner.err();
    const auto signaled = std::chrono::steady_clock::now();
    ::kill(scanner.pid(), SIGTERM);
    const int status = scanner.wait();
    EXPECT_LT(std::chrono::steady_clock::now() - signaled, 2s);
    EXPECT_EQ(status, 2);
    EXPECT_NE(scanner.err().find("cannot record the result values"), std::string::npos) << scanner.err();
}

// Reading the first finding line and closing the pipe must not stop the scan
// (SIGPIPE) or cost its record.
TEST_F(StoreProcesses, aReaderThatStopsEarlyCostsNeitherTheScanNorItsRecord)
{
    useStore(tree_.path("settings.db"));
    manyFindings(600);
    int pipeFds[2];
    ASSERT_EQ(::pipe2(pipeFds, O_CLOEXEC), 0);
    ChildProcess scanner = scan({"--record", "Result"}, "many", {nullptr, std::nullopt, pipeFds[1]});
    ::close(pipeFds[1]);
    char byte = 0;
    while (byte != '\n' && ::read(pipeFds[0], &byte, 1) == 1) {
    }
    ::close(pipeFds[0]);
    EXPECT_EQ(scanner.wait(), 1) << scanner.err();
    EXPECT_EQ(settingsNow({"--key", "Result", "get", "Found"}).out, "601\n");
}

// The scan is stopped mid-walk (its output pipe is full and unread, so it
// cannot have finished): it exits 3, not 0 or 1, and still records.
TEST_F(StoreProcesses, aCanceledScanHasAnExitStatusOfItsOwnAndStillRecords)
{
    useStore(tree_.path("settings.db"));
    manyFindings(600);
    int pipeFds[2];
    ASSERT_EQ(::pipe2(pipeFds, O_CLOEXEC), 0);
    ChildProcess scanner = scan({"--record", "Result"}, "many", {nullptr, std::nullopt, pipeFds[1]});
    ::close(pipeFds[1]);
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(scanner.running());
    ::kill(scanner.pid(), SIGTERM);
    std::string out;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, got);
    ::close(pipeFds[0]);
    EXPECT_EQ(scanner.wait(), 3) << scanner.err();
    EXPECT_TRUE(out.ends_with("Scan Canceled\n")) << out.substr(out.size() - std::min<std::size_t>(out.size(), 200));
    const std::string found = settingsNow({"--key", "Result", "get", "Found"}).out;
    EXPECT_LT(std::stoi(found), 601) << "the walk was not cut short";
}

}  // namespace
}  // namespace ombrix::test
