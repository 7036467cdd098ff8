#include <filesystem>
#include <regex>

#include "UpdateFixture.h"

namespace ombrix::test {

namespace {

using KeyToolTest = UpdateFixture;

// A publisher's whole round: make a key, trust it, publish a list, check it, serve it.
TEST_F(KeyToolTest, aKeyMadeAndAListPublishedWithTheToolAreAcceptedByTheUpdater)
{
    const auto keyTool = [](std::vector<std::string> args) {
        args.insert(args.begin(), KEY_TOOL);
        return runProgram(args);
    };
    const std::string secret = tree.path("keys/publisher.key");
    tree.dir("keys");
    const auto made = keyTool({"generate", secret, tree.path("prog/update-keys/new.pub")});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(std::filesystem::status(secret).permissions(), std::filesystem::perms(0600));
    const std::string keyBefore = read("keys/publisher.key");
    EXPECT_EQ(keyTool({"generate", secret, tree.path("keys/other.pub")}).status, 1) << "an existing key is kept";
    EXPECT_EQ(read("keys/publisher.key"), keyBefore);

    const struct {
        std::string list;
        std::string error;
    } refused[] = {
        {"Trojan.A\tbad.exe\r\n", "has no \"' version NUMBER\" line; the updater would refuse it"},
        {"' version 99991231990\r\n", "the updater would refuse this release: its version 99991231990 is more than"},
    };
    for (const auto& c : refused) {
        tree.file("site/refused.ini", c.list);
        const auto run = keyTool({"publish", secret, tree.path("site/refused.ini")});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
        EXPECT_FALSE(tree.exists("site/refused.ini.release"));
    }

    const std::string list = listText(2026030100, 4);
    tree.file("site/ombrix.ini", list);
    const auto published = keyTool({"publish", "--valid-days", "2", secret, tree.path("site/ombrix.ini")});
    ASSERT_EQ(published.status, 0) << published.err;
    EXPECT_TRUE(std::regex_match(published.out, std::regex(".*/site/ombrix.ini.release: version 2026030100, valid "
                                                           "until \\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ\n")));
    std::string why;
    const auto release = update::ParseRelease(read("site/ombrix.ini.release"), why);
    ASSERT_TRUE(release) << why;
    EXPECT_EQ(release->validUntil - release->issued, 2 * 24 * 60 * 60);
    EXPECT_EQ(release->listName, "ombrix.ini");

    const auto checked = keyTool({"verify", tree.path("prog/update-keys/new.pub"), tree.path("site/ombrix.ini.release")});
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_EQ(checked.out.substr(0, 38), "good release by key " + made.out.substr(4, 16) + ": ");
    tree.file("stranger.pub", stranger.publicText);
    EXPECT_EQ(keyTool({"verify", tree.path("stranger.pub"), tree.path("site/ombrix.ini.release")}).status, 1);

    const auto run = update({"--url", releaseUrl("ombrix.ini")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(read("prog/ombrix.ini"), list);

    tree.file("site/ombrix.ini", listText(2026030100, 5));
    const auto tampered = keyTool({"verify", tree.path("prog/update-keys/new.pub"), tree.path("site/ombrix.ini.release")});
    EXPECT_EQ(tampered.status, 1);
    EXPECT_NE(tampered.err.find("is not the list"), std::string::npos) << tampered.err;
}

}  // namespace

}  // namespace ombrix::test
