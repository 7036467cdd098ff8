#include <sys/mount.h>

#include <atomic>
#include <filesystem>
#include <regex>
#include <set>
#include <thread>

#include "FolderLock.h"
#include "MountNamespace.h"
#include "UpdateFixture.h"
#include "mFileSearch.h"
#include "mRegistry.h"

namespace ombrix::test {

namespace {

using mRegistry::HKEY_CURRENT_USER;
using Names = std::vector<std::string>;

const Names kUntouchedFolder{"ombrix.ini", "update", "update-keys"};
const std::string kUnchanged = ". The installed signature list was not changed.\n";

std::string stored(const std::string& name)
{
    return mRegistry::ReadRegString(HKEY_CURRENT_USER, "", name, "<missing>");
}

class UpdateTest : public UpdateFixture {};

// The first run takes the address from the settings and, quiet, prints nothing.
TEST_F(UpdateTest, aNewerSignedListReplacesTheOldOneWhichIsKeptAndAnUnchangedOneCostsA304)
{
    const std::string newer = listText(2026020100, 5);
    publish("ombrix.ini", newer);
    mRegistry::WriteRegString(HKEY_CURRENT_USER, "", "Update URL", url("/ombrix.ini"));

    const auto first = update({"--quiet"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out + first.err, "");
    EXPECT_EQ(read("prog/ombrix.ini"), newer);
    EXPECT_EQ(read("prog/ombrix.ini.bak"), installedList);
    EXPECT_EQ(programFolder(), (Names{"ombrix.ini", "ombrix.ini.bak", "update", "update-keys"}));
    EXPECT_EQ(stored("Update Message"), "Installed signature list version 2026020100 with 5 entries.");
    EXPECT_TRUE(std::regex_match(stored("Update Last Check"), std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")));

    const auto second = update({});
    EXPECT_EQ(second.status, 1) << second.err;
    EXPECT_EQ(second.out, "The signature list is up to date (version 2026020100).\n");
    EXPECT_TRUE(read("server.log").ends_with("/ombrix.ini 304\n")) << read("server.log");
    EXPECT_EQ(read("prog/ombrix.ini.bak"), installedList);
    EXPECT_EQ(stored("Update Status"), "1");

    publish("same.ini", newer + "Threat.X\tx.exe\r\n");
    EXPECT_EQ(update({"--url", url("/same.ini")}).status, 1) << "the same version is not installed again";
    EXPECT_EQ(read("prog/ombrix.ini"), newer);
}

// Every refusal exits 2 with its reason on stderr and leaves the program folder as it was.
TEST_F(UpdateTest, refusedListsLeaveTheInstalledListAlone)
{
    const std::string good = listText(2026020100, 2);
    publish("good.ini", good);
    publish("forged.ini", good);
    tree.file("site/forged.ini", listText(2026020100, 3));
    publish("stranger.ini", good, stranger.secretText);
    tree.file("site/unsigned.ini", good);
    publish("garbled.ini", good);
    tree.file("site/garbled.ini.sig", "ed25519 0011223344556677 bm90IGEgc2lnbmF0dXJl\n");
    publish("older.ini", listText(2025120100, 2));
    publish("unversioned.ini", "Trojan.A\tbad.exe\r\n");
    publish("empty.ini", "' version 2026020100\r\n' nothing else\r\n");

    const struct {
        std::string url;
        std::string reason;
    } cases[] = {
        {url("/absent.ini"), "the server answered HTTP 404 for the list at " + url("/absent.ini")},
        {url("/unsigned.ini"), "the server offers no signature for the list (" + url("/unsigned.ini.sig") + " is missing)"},
        {url("/forged.ini"), "the signature does not match the list (it was damaged or forged)"},
        {url("/stranger.ini"), "the list is signed with key " + update::signList(stranger.secretText, "").substr(8, 16) +
                                          ", which is not among the trusted keys in " + tree.path("prog/update-keys")},
        {url("/garbled.ini"), "the signature at " + url("/garbled.ini") + ".sig is not a signature file"},
        {url("/older.ini"), "the offered list (version 2025120100) is older than the installed one (version 2026010100)"},
        {url("/unversioned.ini"), "the offered list has no version line (\"' version NUMBER\")"},
        {url("/empty.ini"), "the offered list has no entries"},
        {url("/truncated/good.ini"), "the download from 127.0.0.1 was cut short"},
        {url("/huge"), "the list at " + url("/huge") + " is too large"},
        {url("/slow/good.ini"), "the server 127.0.0.1 did not answer in time"},
        {"http://127.0.0.1:1/ombrix.ini", "cannot connect to 127.0.0.1"},
        {"file:///etc/passwd", "\"file:///etc/passwd\" is not an http or https address"},
    };
    for (const auto& c : cases) {
        const auto run = update({"--url", c.url});
        EXPECT_EQ(run.status, 2) << c.url;
        EXPECT_EQ(run.err, "Update failed: " + c.reason + kUnchanged) << c.url;
        EXPECT_EQ(run.out, "") << c.url;
        EXPECT_EQ(read("prog/ombrix.ini"), installedList) << c.url;
        EXPECT_EQ(programFolder(), kUntouchedFolder) << c.url;
    }
    EXPECT_EQ(stored("Update Status"), "2");
}

TEST_F(UpdateTest, anUpdaterWithoutAddressKeysOrLockSaysWhatIsMissing)
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
        EXPECT_EQ(refusal({"--url", url("/good.ini")}),
                  "Update failed: another update of " + tree.path("prog") + " is running" + kUnchanged);
    }
    EXPECT_EQ(refusal({}), "Update failed: no update address is set (ombrix-settings set \"Update URL\" URL, or "
                           "update --url URL)" + kUnchanged);
    std::filesystem::remove_all(tree.path("prog/update-keys"));
    EXPECT_EQ(refusal({"--url", url("/good.ini")}),
              "Update failed: there are no trusted keys in " + tree.path("prog/update-keys") + kUnchanged);
}

TEST_F(UpdateTest, aReadOnlyProgramFolderSendsTheUserToAnAdministrator)
{
    publish("good.ini", listText(2026020100, 2));
    const std::string folder = tree.path("prog");
    const Isolated outcome = inOwnMountNamespace([&] {
        if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            return Isolated::Unavailable;
        const auto run = update({"--url", url("/good.ini")});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "Update failed: cannot write to the program folder " + folder +
                               ": an administrator must run the update, or use the ombrix-update.timer system "
                               "service" + kUnchanged);
        return HasFailure() ? Isolated::Failed : Isolated::Passed;
    });
    if (outcome == Isolated::Unavailable)
        GTEST_SKIP() << "no mount namespace here";
    EXPECT_EQ(outcome, Isolated::Passed);
    EXPECT_EQ(read("prog/ombrix.ini"), installedList);
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
        EXPECT_EQ(update({"--url", url("/ombrix.ini")}).status, 0);
    }
    done = true;
    scans.join();
    EXPECT_GE(seen.size(), 2u);
    for (const std::size_t count : seen)
        EXPECT_TRUE(whole.count(count)) << "a scan loaded " << count << " entries";
}

}  // namespace

}  // namespace ombrix::test
