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

// A folder its user may list but not search (r--) shows the names of its files
// and nothing more: whether they are still there cannot be told, so they count
// as present, with or without removal. A file that really went turns green beside it.
TEST_F(ScanSystemTest, aFileThatCannotBeExaminedIsNeverCountedAsRemoved)
{
    tree.file("scan/listed-only/bad.exe");
    tree.file("scan/open/worm.dll");
    ::chmod(tree.path("scan/listed-only").c_str(), 0744);
    ::chmod(tree.path("scan/open").c_str(), 0777);
    window.key.reset();
    // Permissions bind only without root's override, so the scan runs as nobody.
    const auto scanAsNobody = [&](int16_t repair) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return false;
        window.autoRepairOption = repair;
        const ScanSummary summary = scan(tree.path("scan"));
        std::string bad;
        std::string worm;
        for (const auto& row : window.rows)
            (row.fullPath.ends_with("bad.exe") ? bad : worm) = row.iconKey;
        return bad == "redbug" && worm == (repair ? "greenbug" : "redbug") &&
               summary.stillPresent == std::size_t(2 - repair) && summary.removed == std::size_t(repair) &&
               mFileSearch::FileExists(tree.path("scan/listed-only/bad.exe"));
    };
    for (const int16_t repair : {0, 1})
        EXPECT_EXIT(std::_Exit(scanAsNobody(repair) ? 0 : 1), ::testing::ExitedWithCode(0), "") << "AutoRepair " << repair;
    EXPECT_TRUE(tree.exists("scan/listed-only/bad.exe"));
    EXPECT_FALSE(tree.exists("scan/open/worm.dll"));
}

}  // namespace
}  // namespace ombrix::test
