#include <filesystem>

#include "UpdateFixture.h"

namespace ombrix::test {

namespace {

using KeyToolTest = UpdateFixture;

// A publisher's whole round: make a key, trust it, sign a list, check it, publish it.
TEST_F(KeyToolTest, aKeyMadeAndAListSignedWithTheToolAreAcceptedByTheUpdater)
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

    tree.file("site/unversioned.ini", "Trojan.A\tbad.exe\r\n");
    EXPECT_EQ(keyTool({"sign", secret, tree.path("site/unversioned.ini")}).status, 1);
    const std::string list = listText(2026030100, 4);
    tree.file("site/ombrix.ini", list);
    ASSERT_EQ(keyTool({"sign", secret, tree.path("site/ombrix.ini")}).status, 0);
    const auto checked = keyTool({"verify", tree.path("prog/update-keys/new.pub"), tree.path("site/ombrix.ini")});
    EXPECT_EQ(checked.status, 0);
    EXPECT_EQ(checked.out, "good signature by key " + made.out.substr(4));
    tree.file("stranger.pub", stranger.publicText);
    EXPECT_EQ(keyTool({"verify", tree.path("stranger.pub"), tree.path("site/ombrix.ini")}).status, 1);

    const auto run = update({"--url", url("/ombrix.ini")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(read("prog/ombrix.ini"), list);
}

}  // namespace

}  // namespace ombrix::test
