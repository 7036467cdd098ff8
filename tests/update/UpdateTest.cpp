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

#include "FolderLock.h"
#include "MountNamespace.h"
#include "UpdateFixture.h"
#include "Updater.h"
#include "mFileSearch.h"
#include "mRegistry.h"

extern char** environ;

namespace ombrix::test {

namespace {

using mRegistry::HKEY_CURRENT_USER;
using Names = std::vector<std::string>;

const Names kUntouchedFolder{"ombrix.ini", "update", "update-keys", "update.conf"};
const std::string kUnchanged = ". The installed signature list was not changed.\n";
constexpr std::time_t kDay = 24 * 60 * 60;

std::string stored(const std::string& name)
{
    return mRegistry::ReadRegString(HKEY_CURRENT_USER, "", name, "<missing>");
}

std::size_t count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class UpdateTest : public UpdateFixture {};

// The first run takes the address from the settings and, quiet, prints nothing.
// Later runs fetch only the release, however often it is replayed.
TEST_F(UpdateTest, aNewerReleaseIsInstalledOnceAndItsReplayIsUpToDate)
{
    const std::string newer = listText(2026020100, 5);
    publish("ombrix.ini", newer);
    mRegistry::WriteRegString(HKEY_CURRENT_USER, "", "Update URL", releaseUrl("ombrix.ini"));

    const auto first = update({"--quiet"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out + first.err, "");
    EXPECT_EQ(read("prog/ombrix.ini"), newer);
    EXPECT_EQ(read("prog/ombrix.ini.bak"), installedList);
    EXPECT_EQ(programFolder(), (Names{"ombrix.ini", "ombrix.ini.bak", "update", "update-keys", "update.conf",
                                      "update.state"}));
    EXPECT_TRUE(std::regex_match(read("prog/update.state"),
                                 std::regex("# .*\nfloor = 2026020100\nfloor-sha256 = " + update::Sha256Hex(newer) +
                                            "\nlast-success = \\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ\n")))
        << read("prog/update.state");
    EXPECT_EQ(stored("Update Message"), "Installed signature list version 2026020100 with 5 entries.");
    EXPECT_TRUE(std::regex_match(stored("Update Last Check"), std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")));

    for (int replay = 0; replay < 2; ++replay) {
        const auto again = update({});
        EXPECT_EQ(again.status, 1) << again.err;
        EXPECT_EQ(again.out, "The signature list is up to date (version 2026020100).\n");
    }
    EXPECT_EQ(count(read("server.log"), "/ombrix.ini 200"), 1u) << read("server.log");
    EXPECT_EQ(read("prog/ombrix.ini.bak"), installedList);
    EXPECT_EQ(stored("Update Status"), "1");
}

// A reinstall puts an older list in place; the floor in the updater's own state
// still refuses older releases, and the newest release brings its list back.
// The administrator's local lines follow every installed list.
TEST_F(UpdateTest, theFloorOutlivesTheListFileAndLocalLinesFollowEveryList)
{
    const std::string newest = listText(2026020100, 2);
    publish("newest.ini", newest);
    publish("older.ini", listText(2026013100, 2));
    const std::string local = "' our own\r\nLocal.Threat\tlocal.exe\r\n";
    tree.file("prog/local.ini", local);
    ASSERT_EQ(update({"--url", releaseUrl("newest.ini")}).status, 0);
    EXPECT_EQ(read("prog/ombrix.ini"), newest + local);

    tree.file("prog/ombrix.ini", installedList);
    const auto older = update({"--url", releaseUrl("older.ini")});
    EXPECT_EQ(older.status, 2);
    EXPECT_EQ(older.err, "Update failed: the release offers version 2026013100, not newer than version 2026020100, "
                         "the newest installed before" + kUnchanged);
    const auto restored = update({"--url", releaseUrl("newest.ini")});
    EXPECT_EQ(restored.status, 0) << restored.err;
    EXPECT_EQ(restored.out, "Installed signature list version 2026020100 with 3 entries.\n");

    const std::string unterminated = "' version 2026020200\r\nA\ta.exe";
    publish("unterminated.ini", unterminated);
    ASSERT_EQ(update({"--url", releaseUrl("unterminated.ini")}).status, 0);
    EXPECT_EQ(read("prog/ombrix.ini"), unterminated + "\r\n" + local);

    // A list an earlier updater let in with a version past the ceiling raises no floor.
    tree.file("prog/ombrix.ini", "' version 18446744073709551615\r\nA\ta.exe\r\n");
    publish("later.ini", listText(2026020300, 2));
    const auto later = update({"--url", releaseUrl("later.ini")});
    EXPECT_EQ(later.status, 0) << later.err;
}

// Every refusal exits 2 with its reason on stderr and leaves the program folder as it was.
TEST_F(UpdateTest, refusedReleasesAndListsLeaveTheInstalledListAlone)
{
    const update::KeyPair revoked = update::makeKeyPair();
    tree.file("prog/keyrings/revoked.pub", revoked.publicText);
    const std::string revokedId = update::signList(revoked.secretText, "").substr(8, 16);
    tree.file("prog/keyrings/revoked", "# leaked on 2026-11-30\n" + revokedId + "\n");
    const std::string strangerId = update::signList(stranger.secretText, "").substr(8, 16);

    const std::string good = listText(2026020100, 2);
    publish("good.ini", good);
    const update::Release release = releaseOf("good.ini", good);
    const auto variant = [&](const std::string& file, auto change) {
        update::Release changed = release;
        change(changed);
        publishRelease(file, changed);
        return changed;
    };
    const auto pace = [&](const std::string& file, const std::string& how) { tree.file("site/" + file + ".pace", how); };

    update::Release edited = release;
    edited.version += 1;
    tree.file("site/forged.release", update::ReleaseText(edited));
    tree.file("site/forged.release.sig", update::signList(trusted.secretText, update::ReleaseText(release)));
    publishRelease("stranger.release", release, stranger.secretText);
    publishRelease("revoked.release", release, revoked.secretText);
    tree.file("site/unsigned.release", update::ReleaseText(release));
    publishRelease("garbled.release", release);
    tree.file("site/garbled.release.sig", "ed25519 0011223344556677 bm90IGEgc2lnbmF0dXJl\n");
    tree.file("site/prose.release", "hello\n");
    tree.file("site/prose.release.sig", update::signList(trusted.secretText, "hello\n"));
    const std::time_t now = std::time(nullptr);
    const auto expired = variant("expired.release", [&](auto& r) { r.issued = now - 8 * kDay, r.validUntil = now - 60; });
    const auto future = variant("future.release", [&](auto& r) { r.issued = now + 2 * kDay, r.validUntil = now + 9 * kDay; });
    const std::string huge = "' version 18446744073709551615\r\nA\ta.exe\r\n";
    tree.file("site/huge.ini", huge);
    const auto absurd = releaseOf("huge.ini", huge);
    publishRelease("huge.release", absurd);
    char threeDaysAhead[16];
    const std::time_t ahead = now + 3 * kDay;
    std::strftime(threeDaysAhead, sizeof threeDaysAhead, "%Y%m%d01", std::gmtime(&ahead));
    variant("ahead.release", [&](auto& r) { r.version = std::stoull(threeDaysAhead); });
    publish("older.ini", listText(2025120100, 2));
    publish("same.ini", listText(2026010100, 4));
    publish("replaced.ini", good);
    tree.file("site/replaced.ini", listText(2026020100, 2).replace(10, 1, "X"));
    variant("short.release", [](auto& r) { r.size += 10; });
    publish("endless.ini", good);
    pace("endless.ini", "endless");
    variant("oversized.release", [](auto& r) { r.size = (64u << 20) + 1; });
    variant("otherversion.release", [](auto& r) { r.version = 2026020200; });
    publish("empty.ini", "' version 2026020100\r\n' nothing else\r\n");
    pace("endless.release", "endless");
    publish("notmodified.ini", good);
    pace("notmodified.ini.release", "not-modified");
    publish("truncated.ini", good);
    pace("truncated.ini.release", "truncated");
    pace("tolocalhost.release", "redirect " + releaseUrl("good.ini").replace(7, 9, "localhost"));
    pace("tofile.release", "redirect file:///etc/passwd");
    pace("toftp.release", "redirect ftp://127.0.0.1/good.ini.release");
    const std::string conf = tree.path("prog/update.conf");

    const struct {
        std::string url;
        std::string reason;
    } cases[] = {
        {url("/absent.release"), "the server answered HTTP 404 for the release at " + url("/absent.release")},
        {url("/unsigned.release"),
         "the server offers no signature for the release (" + url("/unsigned.release.sig") + " is missing)"},
        {url("/forged.release"), "the signature does not match the release (it was damaged or forged)"},
        {url("/stranger.release"), "the release is signed with key " + strangerId +
                                       ", which is not among the trusted keys in " + tree.path("prog/update-keys") +
                                       " or " + tree.path("prog/keyrings")},
        {url("/revoked.release"), "the release is signed with key " + revokedId + ", which is revoked in " +
                                      tree.path("prog/keyrings/revoked")},
        {url("/garbled.release"), "the signature at " + url("/garbled.release") + ".sig is not a signature file"},
        {url("/prose.release"), "the file at " + url("/prose.release") + " is not a release: a line is not \"Name: value\""},
        {url("/expired.release"), "the release at " + url("/expired.release") + " was refused: it expired on " +
                                      update::UtcText(expired.validUntil)},
        {url("/future.release"), "the release at " + url("/future.release") +
                                     " was refused: it was issued in the future (" + update::UtcText(future.issued) + ")"},
        {url("/huge.release"), "the release at " + url("/huge.release") + " was refused: its version " +
                                   "18446744073709551615 is more than a day ahead of its date " +
                                   update::UtcText(absurd.issued)},
        {url("/ahead.release"), "the release at " + url("/ahead.release") + " was refused: its version " +
                                    threeDaysAhead + " is more than a day ahead of its date " +
                                    update::UtcText(release.issued)},
        {releaseUrl("older.ini"),
         "the release offers version 2025120100, not newer than version 2026010100, the newest installed before"},
        {releaseUrl("same.ini"),
         "the release offers version 2026010100, not newer than version 2026010100, the newest installed before"},
        {releaseUrl("replaced.ini"), "the list at " + url("/replaced.ini") +
                                         " does not match its release's SHA256 (it was damaged or replaced)"},
        {url("/short.release"), "the list at " + url("/good.ini") + " has " + std::to_string(good.size()) +
                                    " bytes, not the " + std::to_string(good.size() + 10) + " its release says"},
        {releaseUrl("endless.ini"), "the list at " + url("/endless.ini") + " is larger than its release says (" +
                                        std::to_string(good.size()) + " bytes)"},
        {url("/oversized.release"), "the release names a list of 67108865 bytes, more than the 64 MiB a list may have"},
        {url("/otherversion.release"), "the list's version line (2026020100) differs from its release's version 2026020200"},
        {releaseUrl("empty.ini"), "the offered list has no entries"},
        {url("/endless.release"), "the release at " + url("/endless.release") + " is too large"},
        {releaseUrl("notmodified.ini"), "the server answered HTTP 304 for the release at " + releaseUrl("notmodified.ini")},
        {releaseUrl("truncated.ini"), "the download from 127.0.0.1 was cut short"},
        {releaseUrl("good.ini").replace(7, 9, "localhost"),
         "plain http to localhost is not allowed (\"allow-http = localhost\" in " + conf + " allows it)"},
        {url("/tolocalhost.release"),
         "plain http to localhost is not allowed (\"allow-http = localhost\" in " + conf + " allows it)"},
        {url("/tofile.release"), "\"file:///etc/passwd\" is not an http or https address"},
        {url("/toftp.release"), "\"ftp://127.0.0.1/good.ini.release\" is not an http or https address"},
        {"file:///etc/passwd", "\"file:///etc/passwd\" is not an http or https address"},
        {"http://127.0.0.1:1/ombrix.ini.release", "cannot connect to 127.0.0.1"},
    };
    const Names before = programFolder();
    for (const auto& c : cases) {
        const auto run = update({"--url", c.url});
        EXPECT_EQ(run.status, 2) << c.url;
        EXPECT_EQ(run.err, "Update failed: " + c.reason + kUnchanged) << c.url;
        EXPECT_EQ(run.out, "") << c.url;
        EXPECT_EQ(read("prog/ombrix.ini"), installedList) << c.url;
        EXPECT_EQ(programFolder(), before) << c.url;
    }
    EXPECT_EQ(stored("Update Status"), "2");
    EXPECT_EQ(update({"--url", releaseUrl("good.ini")}).status, 0) << "the site itself was good";
}

// The server keeps its own pace, so each limit is what ends the run, on any machine.
TEST_F(UpdateTest, oneDeadlineForTheWholeUpdateAndALowestSpeed)
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
        EXPECT_EQ(programFolder(), kUntouchedFolder) << c.name;
    }
}

// Killed while the list arrives (kill -9, or SIGTERM as systemctl stop sends), an
// update leaves nothing; what killed runs of any version left is cleared by the next.
TEST_F(UpdateTest, aKilledUpdateLeavesNothingAndTheNextRunClearsLeftoversWithoutFollowingLinks)
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
        EXPECT_EQ(programFolder(), kUntouchedFolder) << signal;
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
TEST_F(UpdateTest, damagedOrStrangeLocalFilesStopTheUpdateAndKeepTheFloor)
{
    publish("good.ini", listText(2026020100, 2));
    const std::string floorState = "floor = 2026010100\nfloor-sha256 = \nlast-success = 2026-01-01T00:00:00Z\n";
    const std::string state = tree.path("prog/update.state");
    const std::string damaged = "the updater's state " + state + " is damaged (";
    const std::string removeIt =
        "); an administrator may remove it, and the installed list's version becomes the floor";
    tree.file("secret", "root:not for the updater");
    const struct {
        std::string file;
        std::function<void()> plant;
        std::string reason;
    } cases[] = {
        {"update.state", [&] { tree.file("prog/update.state", ""); }, damaged + "it has no floor" + removeIt},
        {"update.state", [&] { tree.file("prog/update.state", "floor = 99999999999\n"); },
         damaged + "its floor 99999999999 is past the highest version 9999123199" + removeIt},
        {"update.state", [&] { tree.file("prog/update.state", floorState + std::string(4096, '#')); },
         state + " is larger than 4096 bytes"},
        {"update.state", [&] { tree.symlink("prog/update.state", tree.path("secret")); },
         state + " is a symbolic link, which the updater does not follow"},
        {"update.state", [&] { tree.fifo("prog/update.state"); }, state + " is not a regular file"},
        {"local.ini", [&] { tree.fifo("prog/local.ini"); }, tree.path("prog/local.ini") + " is not a regular file"},
        {"local.ini", [&] { tree.file("prog/local.ini", std::string((1 << 20) + 1, 'x')); },
         tree.path("prog/local.ini") + " is larger than 1048576 bytes"},
        {"update.conf", [&] { std::filesystem::remove(tree.path("prog/update.conf")), tree.fifo("prog/update.conf"); },
         tree.path("prog/update.conf") + " is not a regular file"},
    };
    for (const auto& c : cases) {
        const Names before = programFolder();
        c.plant();
        const auto run = update({"--url", releaseUrl("good.ini")});
        EXPECT_EQ(run.status, 2) << c.reason;
        EXPECT_EQ(run.err, "Update failed: " + c.reason + kUnchanged);
        EXPECT_EQ(read("prog/ombrix.ini"), installedList) << c.reason;
        std::filesystem::remove(tree.path("prog/" + c.file));
        tree.file("prog/update.conf", "allow-http = 127.0.0.1\n");
        EXPECT_EQ(programFolder(), before) << c.reason;
    }
}

TEST_F(UpdateTest, anUpdaterWithoutSourceKeysOrLockSaysWhatIsMissing)
{
    publish("good.ini", listText(2026020100, 2));
    const auto refusal = [&](std::vector<std::string> args) {
        const auto run = update(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(read("prog/ombrix.ini"), installedList);
        return run.err;
    };
    {
        const auto lock = update::FolderLock::tryAcquire(tree.path("prog"));
        ASSERT_TRUE(lock);
        EXPECT_EQ(refusal({"--url", releaseUrl("good.ini")}),
                  "Update failed: another update of " + tree.path("prog") + " is running" + kUnchanged);
    }
    EXPECT_EQ(refusal({}), "No update source is set. An administrator sets one as \"url = ADDRESS\" in " +
                               tree.path("prog/update.conf") +
                               "; for your own copy, ombrix-settings set \"Update URL\" ADDRESS.\n");
    tree.file("prog/update.conf", "url = " + releaseUrl("good.ini") + "\nallow_http = 127.0.0.1\n");
    EXPECT_EQ(refusal({}), "Update failed: " + tree.path("prog/update.conf") +
                               " line 2: unknown setting \"allow_http\"" + kUnchanged);
    tree.file("prog/update.conf", "url = " + releaseUrl("good.ini") + "\nallow-http = 127.0.0.1\n");
    tree.file("prog/keyrings/revoked", "publisher\n");
    EXPECT_EQ(refusal({}), "Update failed: " + tree.path("prog/keyrings/revoked") +
                               " line 1 is not a key ID (16 lower-case hex digits)" + kUnchanged);
    std::filesystem::remove_all(tree.path("prog/keyrings"));
    std::filesystem::remove_all(tree.path("prog/update-keys"));
    EXPECT_EQ(refusal({}), "Update failed: there are no trusted keys in " + tree.path("prog/update-keys") + " or " +
                               tree.path("prog/keyrings") + kUnchanged);
}

TEST_F(UpdateTest, aStateFolderTheUserCannotWriteSendsThemToAnAdministrator)
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
TEST_F(UpdateTest, withTheStateElsewhereTheProgramFolderIsNeverWritten)
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
TEST_F(UpdateTest, scansLoadWholeListsWhileUpdatesReplaceThem)
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
