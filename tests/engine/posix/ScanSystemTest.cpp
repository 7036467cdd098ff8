#include <unistd.h>

#include <cstdlib>

#include "EngineFixture.h"

// Links and a store file that cannot be written.
namespace ombrix::test {
namespace {

TEST_F(ScanSystemTest, aFolderSwappedForALinkNeverLeadsOutsideTheTree)
{
    tree.file("scan/sub/bad.exe");
    tree.file("outside/bad.exe", "precious");
    window.onYield = [this](RecordingWindow& w) {
        if (w.yields == 2) {  // the start folder's visit has ended
            ::rename(tree.path("scan/sub").c_str(), tree.path("moved").c_str());
            ::symlink(tree.path("outside").c_str(), tree.path("scan/sub").c_str());
            w.autoRepairOption = 1;
        }
    };
    scan(tree.path("scan"));
    EXPECT_TRUE(tree.exists("outside/bad.exe"));
    EXPECT_TRUE(tree.exists("moved/bad.exe"));
    EXPECT_EQ(stored("UnabletoClean"), "0");
}

TEST_F(ScanSystemTest, aStoreThatCannotBeWrittenDoesNotStopTheScanButIsReported)
{
    tree.file("not-a-folder");
    ::setenv("OMBRIX_SETTINGS", tree.path("not-a-folder/settings.db").c_str(), 1);
    threeFindings();
    window.autoRepairOption = 1;
    const ScanSummary summary = scan(tree.path("scan"));
    EXPECT_EQ(window.text(ScanLabel::Label6), "Scan Complete - Problems were found!");
    EXPECT_FALSE(tree.exists("scan/bad.exe"));
    EXPECT_EQ(summary.unrecorded, 7u);
    EXPECT_NE(summary.recordError, "");
}

}  // namespace
}  // namespace ombrix::test
