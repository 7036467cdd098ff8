#include <algorithm>
#include <ctime>
#include <filesystem>
#include <regex>

#include "FolderLock.h"
#include "UpdateFixture.h"
#include "mRegistry.h"

namespace ombrix::test {

namespace {

using mRegistry::HKEY_CURRENT_USER;

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
    Names updated = untouchedFolder();
    updated.push_back("ombrix.ini.bak");
    if (config("update.state").starts_with("prog/"))
        updated.push_back("update.state");
    std::sort(updated.begin(), updated.end());
    EXPECT_EQ(programFolder(), updated);
    EXPECT_TRUE(std::regex_match(read(config("update.state")),
                                 std::regex("# .*\nfloor = 2026020100\nfloor-sha256 = " + update::Sha256Hex(newer) +
                                            "\nlast-success = \\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ\n"
                                            "valid-until = \\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ\n")))
        << read(config("update.state"));
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
    tree.file(config("local.ini"), local);
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
    tree.file(config("keyrings/revoked.pub"), revoked.publicText);
    const std::string revokedId = update::signList(revoked.secretText, "").substr(8, 16);
    tree.file(config("keyrings/revoked"), "# leaked on 2026-11-30\n" + revokedId + "\n");
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
    const std::string conf = tree.path(config("update.conf"));

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
                                       " or " + tree.path(config("keyrings"))},
        {url("/revoked.release"), "the release is signed with key " + revokedId + ", which is revoked in " +
                                      tree.path(config("keyrings/revoked"))},
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
                               tree.path(config("update.conf")) +
                               "; for your own copy, ombrix-settings set \"Update URL\" ADDRESS.\n");
    tree.file(config("update.conf"), "url = " + releaseUrl("good.ini") + "\nallow_http = 127.0.0.1\n");
    EXPECT_EQ(refusal({}), "Update failed: " + tree.path(config("update.conf")) +
                               " line 2: unknown setting \"allow_http\"" + kUnchanged);
    tree.file(config("update.conf"), "url = " + releaseUrl("good.ini") + "\nallow-http = 127.0.0.1\n");
    tree.file(config("keyrings/revoked"), "publisher\n");
    EXPECT_EQ(refusal({}), "Update failed: " + tree.path(config("keyrings/revoked")) +
                               " line 1 is not a key ID (16 lower-case hex digits)" + kUnchanged);
    std::filesystem::remove_all(tree.path(config("keyrings")));
    std::filesystem::remove_all(tree.path("prog/update-keys"));
    EXPECT_EQ(refusal({}), "Update failed: there are no trusted keys in " + tree.path("prog/update-keys") + " or " +
                               tree.path(config("keyrings")) + kUnchanged);
}

}  // namespace

}  // namespace ombrix::test
