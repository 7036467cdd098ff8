#include <cstdlib>

#include "UpdateFixture.h"
#include "UpdateMetrics.h"
#include "mRegistry.h"

// The updater's figures for a fleet: last success, installed version and expiry.
namespace ombrix::test {
namespace {

bool has(const std::string& text, const std::string& line)
{
    return text.find("\n" + line + "\n") != std::string::npos;
}

TEST_F(UpdateFixture, theMetricsFileFollowsEachRunAndPassesPromtool)
{
    const std::string metrics = tree.path("textfiles/ombrix-update.prom");
    tree.dir("textfiles");
    const std::string newer = listText(2026020100, 5);
    const update::Release release = releaseOf("ombrix.ini", newer);
    publish("ombrix.ini", newer);
    mRegistry::WriteRegString(mRegistry::HKEY_CURRENT_USER, "", "Update URL", releaseUrl("ombrix.ini"));

    ASSERT_EQ(update({"--quiet", "--metrics-file", metrics}).status, 0);
    std::string text = read("textfiles/ombrix-update.prom");
    EXPECT_TRUE(has(text, "ombrix_update_list_version 2026020100")) << text;
    EXPECT_TRUE(has(text, "ombrix_update_list_valid_until_timestamp_seconds " + std::to_string(release.validUntil)));
    EXPECT_TRUE(has(text, "ombrix_update_exit_status 0"));
    EXPECT_EQ(text.find("ombrix_update_last_success_timestamp_seconds 0\n"), std::string::npos);

    // A failed run says so, and still tells the last success and the version in place.
    mRegistry::WriteRegString(mRegistry::HKEY_CURRENT_USER, "", "Update URL", releaseUrl("missing"));
    ASSERT_EQ(update({"--quiet", "--metrics-file", metrics}).status, 2);
    text = read("textfiles/ombrix-update.prom");
    EXPECT_TRUE(has(text, "ombrix_update_exit_status 2")) << text;
    EXPECT_TRUE(has(text, "ombrix_update_list_version 2026020100"));

    const ProgramResult nowhere = update({"--quiet", "--metrics-file", tree.path("no-folder/m.prom")});
    EXPECT_EQ(nowhere.status, 2);
    EXPECT_NE(nowhere.err.find("update: cannot write the metrics file"), std::string::npos) << nowhere.err;

    if (std::system("command -v promtool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "promtool is not installed";
    EXPECT_EQ(std::system(("promtool check metrics < '" + metrics + "'").c_str()), 0);
}

TEST(UpdateLogEntry, aFailedUpdateIsAWarningWithItsMessage)
{
    update::UpdateState state;
    state.floor = 2026020100;
    const SystemLogEntry failed = update::UpdateLogEntry({update::kFailed, "the release expired"}, state);
    EXPECT_EQ(failed.level, SystemLogEntry::Level::Warning);
    EXPECT_EQ(failed.message, "the release expired");
    EXPECT_EQ(failed.event, SystemLogEntry::Event::Update);
    EXPECT_EQ(update::UpdateLogEntry({update::kUpToDate, "up to date"}, state).level, SystemLogEntry::Level::Info);
}

}  // namespace
}  // namespace ombrix::test
