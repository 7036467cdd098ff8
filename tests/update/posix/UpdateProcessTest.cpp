#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <regex>
#include <set>
#include <thread>

#include "MountNamespace.h"
#include "UpdateFixture.h"
#include "Updater.h"
#include "mFileSearch.h"
#include "mRegistry.h"

extern char** environ;

namespace ombrix::test {

namespace {

using mRegistry::HKEY_CURRENT_USER;

class UpdateProcessTest : public UpdateFixture {};

// The server keeps its own pace, so each limit is what ends the run, on any
// machine. (Under Wine WinHTTP overran these limits: Linux only for now.)
TEST_F(UpdateProcessTest, oneDeadlineForTheWholeUpdateAndALowestSpeed)
{
    const std::string list = listText(2026020100, 2);
    for (const std::string name : {"stalled.ini", "late.ini", "trickled.ini"})
        publish(name, list);
    tree.file("site/stalled.ini.release.pace", "stall");
    // Each request answers within the limit; all three together do not.
    for (const std::string file : {"late.ini.release", "late.ini.release.sig", "late.ini"})
        tree.file("site/" + file + ".pace", "late");
    tree.file("site/trickled.ini.pace", "trickle");

    const struct {
        std::string name;
        std::vector<std::string> limits;
        std::string reason;
    } cases[] = {
        {"stalled.ini", {"--timeout", "2"}, "the update did not finish within 2 s"},
        {"late.ini", {"--timeout", "2"}, "the update did not finish within 2 s"},
        {"trickled.ini", {"--speed-time", "2"}, "the download from 127.0.0.1 was slower than 1024 bytes/s for 2 s"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"--url", releaseUrl(c.name)};
        args.insert(args.end(), c.limits.begin(), c.limits.end());
        const auto run = update(args);
        EXPECT_EQ(run.status, 2) << c.name;
        EXPECT_EQ(run.err, "Update failed: " + c.reason + kUnchanged) << c.name;
        EXPECT_EQ(programFolder(), untouchedFolder()) << c.name;
    }
}

// Killed while the list arrives (kill -9, or SIGTERM as systemctl stop sends), an
// update leaves nothing; what killed runs of any version left is cleared by the next.
TEST_F(UpdateProcessTest, aKilledUpdateLeavesNothingAndTheNextRunClearsLeftoversWithoutFollowingLinks)
{
    publish("ombrix.ini", listText(2026020100, 2));
    tree.file("site/ombrix.ini.pace", "trickle");
    for (const int signal : {SIGKILL, SIGTERM}) {
        const auto command = updateCommand({"--quiet", "--url", releaseUrl("ombrix.ini")});
        std::vector<char*> argv;
        for (const auto& word : command)
            argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        const std::size_t answered = count(read("server.log"), "/ombrix.ini 200");
        pid_t pid = 0;
        ASSERT_EQ(::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
        for (int i = 0; i < 400 && count(read("server.log"), "/ombrix.ini 200") == answered; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ::kill(pid, signal);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status)) << signal;
        EXPECT_EQ(programFolder(), untouchedFolder()) << signal;
        EXPECT_EQ(read("prog/ombrix.ini"), installedList) << signal;
    }

    // What killed runs leave, and what someone with write access planted: the
    // next run removes it all and never follows a link out of the folder.
    std::filesystem::remove(tree.path("site/ombrix.ini.pace"));
    const std::function<void()> leftovers[] = {
        [&] {
            tree.file("prog/.ombrix.ini.Xy12Ab", "half a list of an earlier upd");
            tree.file("prog/.update-staging/ombrix.ini", "half a l");
            tree.file("prog/.update-staging/update.state", "floor = 9");
        },
        [&] { tree.symlink("prog/.update-staging", tree.path("outside")); },
        [&] { tree.symlink("prog/.update-staging/ombrix.ini", tree.path("outside/kept")); },
        [&] {
            std::filesystem::remove(tree.path("prog/ombrix.ini"));
            tree.symlink("prog/ombrix.ini", tree.path("outside/kept"));
        },
        [&] { tree.dir("prog/.update-staging/ombrix.ini/sub"); },
        [&] { tree.file("prog/.update-staging", "a file"); },
    };
    std::uint64_t version = 2026020100;
    for (const auto& leave : leftovers) {
        tree.file("outside/kept", "not the updater's");
        leave();
        publish("ombrix.ini", listText(++version, 2));
        const auto run = update({"--url", releaseUrl("ombrix.ini")});
        EXPECT_EQ(run.status, 0) << version << run.err;
        EXPECT_EQ(programFolder(), (Names{"ombrix.ini", "ombrix.ini.bak", "update", "update-keys", "update.conf",
                                          "update.state"})) << version;
        EXPECT_EQ(read("outside/kept"), "not the updater's") << version;
        EXPECT_NE(read("prog/ombrix.ini.bak"), "not the updater's") << version;
    }
}

// The updater's own files and the administrator's are read only when they are
// plain files of a sane size; anything else stops the update, however it came
// there, and the floor and the list stay as they are.
TEST_F(UpdateProcessTest, damagedOrStrangeLocalFilesStopTheUpdateAndKeepTheFloor)
{
    publish("good.ini", listText(2026020100, 2));
    const std::string floorState = "floor = 2026010100\nfloor-sha256 = \nlast-success = 2026-01-01T00:00:00Z\n";
    const std::string state = tree.path(config("update.state"));
    const std::string damaged = "the updater's state " + state + " is damaged (";
    const std::string removeIt =
        "); an administrator may remove it, and the installed list's version becomes the floor";
    tree.file("secret", "root:not for the updater");
    const struct {
        std::string file;
        std::function<void()> plant;
        std::string reason;
    } cases[] = {
        {"update.state", [&] { tree.file(config("update.state"), ""); }, damaged + "it has no floor" + removeIt},
        {"update.state", [&] { tree.file(config("update.state"), "floor = 99999999999\n"); },
         damaged + "its floor 99999999999 is past the highest version 9999123199" + removeIt},
        {"update.state", [&] { tree.file(config("update.state"), floorState + std::string(4096, '#')); },
         state + " is larger than 4096 bytes"},
        {"update.state", [&] { tree.symlink(config("update.state"), tree.path("secret")); },
         state + " is a symbolic link, which the updater does not follow"},
        {"update.state", [&] { tree.fifo(config("update.state")); }, state + " is not a regular file"},
        {"local.ini", [&] { tree.fifo(config("local.ini")); }, tree.path(config("local.ini")) + " is not a regular file"},
        {"local.ini", [&] { tree.file(config("local.ini"), std::string((1 << 20) + 1, 'x')); },
         tree.path(config("local.ini")) + " is larger than 1048576 bytes"},
        {"update.conf", [&] { std::filesystem::remove(tree.path(config("update.conf"))), tree.fifo(config("update.conf")); },
         tree.path(config("update.conf")) + " is not a regular file"},
    };
    for (const auto& c : cases) {
        const Names before = programFolder();
        c.plant();
        const auto run = update({"--url", releaseUrl("good.ini")});
        EXPECT_EQ(run.status, 2) << c.reason;
        EXPECT_EQ(run.err, "Update failed: " + c.reason + kUnchanged);
        EXPECT_EQ(read("prog/ombrix.ini"), installedList) << c.reason;
        std::filesystem::remove(tree.path("prog/" + c.file));
        tree.file(config("update.conf"), "allow-http = 127.0.0.1\n");
        EXPECT_EQ(programFolder(), before) << c.reason;
    }
}

TEST_F(UpdateProcessTest, aStateFolderTheUserCannotWriteSendsThemToAnAdministrator)
{
    publish("good.ini", listText(2026020100, 2));
    const std::string folder = tree.path("prog");
    const Isolated outcome = inOwnMountNamespace([&] {
        if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            return Isolated::Unavailable;
        const auto run = update({"--url", releaseUrl("good.ini")});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "Update failed: cannot write to " + folder +
                               ": an administrator runs the update (sudo systemctl start ombrix-update.service)" +
                               kUnchanged);
        return HasFailure() ? Isolated::Failed : Isolated::Passed;
    });
    if (outcome == Isolated::Unavailable)
        GTEST_SKIP() << "no mount namespace here";
    EXPECT_EQ(outcome, Isolated::Passed);
    EXPECT_EQ(read("prog/ombrix.ini"), installedList);
}

// The package's layout: the program folder only reads; everything written goes to the state folder.
TEST_F(UpdateProcessTest, withTheStateElsewhereTheProgramFolderIsNeverWritten)
{
    struct Quiet : update::UpdateReport {
        void step(const std::string&) override {}
        void progress(std::uint64_t, std::uint64_t) override {}
    } quiet;
    const std::string list = listText(2026020100, 2);
    publish("ombrix.ini", list);
    tree.file("state/ombrix.ini", installedList);
    tree.file("etc/update.conf", "allow-http = 127.0.0.1\n");
    tree.file("keys/publisher.pub", trusted.publicText);
    std::filesystem::remove_all(tree.path("prog/update-keys"));
    const update::UpdateFolders folders{tree.path("prog"), tree.path("state"), tree.path("state"), tree.path("etc"),
                                        tree.path("keys")};
    const Names programBefore = programFolder();
    const auto outcome = update::RunUpdate({folders, releaseUrl("ombrix.ini")}, quiet);
    EXPECT_EQ(outcome.status, 0) << outcome.message;
    EXPECT_EQ(read("state/ombrix.ini"), list);
    EXPECT_EQ(read("prog/ombrix.ini"), installedList);
    EXPECT_EQ(programFolder(), programBefore);
    EXPECT_TRUE(tree.exists("state/update.state"));

    const auto nowhere = update::RunUpdate(
        {{folders.program, tree.path("nowhere"), tree.path("nowhere"), folders.config, folders.keyring},
         releaseUrl("ombrix.ini")},
        quiet);
    EXPECT_EQ(nowhere.message, "Update failed: cannot write in " + tree.path("nowhere") +
                                   ": No such file or directory. The installed signature list was not changed.");

    // The Windows layout: the list beside the program, the floor in a state folder of its own.
    const std::string newer = listText(2026020200, 2);
    publish("newer.ini", newer);
    tree.dir("data");
    const update::UpdateFolders apart{tree.path("prog"), tree.path("prog"), tree.path("data"), folders.config,
                                      folders.keyring};
    ASSERT_EQ(update::RunUpdate({apart, releaseUrl("newer.ini")}, quiet).status, 0);
    EXPECT_EQ(read("prog/ombrix.ini"), newer);
    EXPECT_EQ(read("prog/ombrix.ini.bak"), installedList);
    EXPECT_NE(read("data/update.state").find("floor = 2026020200\n"), std::string::npos);
    Names withList = programBefore;
    withList.insert(withList.begin() + 1, "ombrix.ini.bak");
    EXPECT_EQ(programFolder(), withList);
    tree.file("prog/ombrix.ini", installedList);
    EXPECT_EQ(update::RunUpdate({apart, releaseUrl("ombrix.ini")}, quiet).message,
              "Update failed: the release offers version 2026020100, not newer than version 2026020200, the "
              "newest installed before. The installed signature list was not changed.");
}

// A scan loads the list while updates replace it: every load sees one whole list.
TEST_F(UpdateProcessTest, scansLoadWholeListsWhileUpdatesReplaceThem)
{
    std::set<std::size_t> whole{3};
    std::set<std::size_t> seen;
    std::atomic<bool> done = false;
    mFileSearch::SetSignatureFile(tree.path("prog/ombrix.ini"));
    std::thread scans([&] {
        while (!done) {
            mFileSearch::LoadSignatures();
            seen.insert(mFileSearch::SignatureCount());
        }
    });
    for (int i = 1; i <= 8; ++i) {
        const int entries = 20000 + 7 * i;
        whole.insert(std::size_t(entries));
        publish("ombrix.ini", listText(2026020100 + std::uint64_t(i), entries));
        EXPECT_EQ(update({"--url", releaseUrl("ombrix.ini")}).status, 0);
    }
    done = true;
    scans.join();
    EXPECT_GE(seen.size(), 2u);
    for (const std::size_t count : seen)
        EXPECT_TRUE(whole.count(count)) << "a scan loaded " << count << " entries";
}

}  // namespace

}  // namespace ombrix::test
