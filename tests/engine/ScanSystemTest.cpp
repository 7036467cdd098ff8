#include <cstdio>

#include "EngineFixture.h"
#include "Text.h"

namespace ombrix::test {
namespace {

// The seven recorded values of clean and dirty scans, with and without removal,
// are checked against the model of tests/tools/differential_scan.py.
TEST_F(ScanSystemTest, cleanScanRecordsGreenAndClosesAfterItsMessage)
{
    tree.file("scan/a.txt");
    tree.file("scan/sub/b.txt");
    scan(tree.path("scan"));
    EXPECT_EQ(scanned, tree.path("scan") + kPathSeparator);
    EXPECT_EQ(window.text(ScanLabel::Label4), "Scanning for 3 items.");
    EXPECT_EQ(window.messages, std::vector<std::string>{"Scan Complete - Your Clean"});
    EXPECT_EQ(window.closes, 1);
    EXPECT_TRUE(window.showMain);
    EXPECT_EQ(window.caption, "Cancel");
    EXPECT_EQ(stored("Status"), "65280");
}

TEST_F(ScanSystemTest, findingsReportProblemsAndOnlyRepairOptionOneRemovesThem)
{
    for (const int16_t option : {1, 0, 2}) {
        window = RecordingWindow();
        window.key = store.key();
        window.autoRepairOption = option;
        threeFindings();
        scan(tree.path("scan") + kPathSeparator);
        const bool removed = option == 1;
        ASSERT_EQ(window.rows.size(), 3u) << option;
        for (const auto& row : window.rows)
            EXPECT_EQ(row.iconKey, removed ? "greenbug" : "redbug") << option;
        EXPECT_EQ(tree.exists("scan/bad.exe"), !removed) << option;
        EXPECT_EQ(window.text(ScanLabel::Label1), removed ? "Fixed:  3" : "Fixed:  0") << option;
        EXPECT_EQ(window.messages, std::vector<std::string>{"Scan Complete - Problems were found!"}) << option;
        EXPECT_EQ(window.text(ScanLabel::Label6), "Scan Complete - Problems were found!") << option;
        EXPECT_EQ(window.text(ScanLabel::Label7), "") << option;
        EXPECT_EQ(window.caption, "Close") << option;
        EXPECT_EQ(window.closes, 0) << option;
        EXPECT_EQ(stored("Status"), removed ? "65280" : "255") << option;
        EXPECT_EQ(stored("UnabletoClean"), removed ? "0" : "3") << option;
        EXPECT_EQ(stored("Found"), "4") << option;
    }
}

TEST_F(ScanSystemTest, thePassTreatsOnlySelectedRowsAndSeesOutsideRemovals)
{
    threeFindings();
    // The last yield ends the start folder's visit: the walk is over then.
    window.onYield = [this](RecordingWindow& w) {
        if (w.rows.size() == 3 && w.yields == 3) {
            w.rows[0].selected = false;
            std::remove(w.rows[1].fullPath.c_str());
        }
    };
    const ScanSummary summary = scan(tree.path("scan"));
    EXPECT_EQ(summary.removed, 1u);
    EXPECT_EQ(summary.stillPresent, 1u);
    EXPECT_EQ(window.rows[0].iconKey, "redbug");
    EXPECT_EQ(window.rows[1].iconKey, "greenbug");
    EXPECT_EQ(window.text(ScanLabel::Label1), "Fixed:  1");
    EXPECT_EQ(stored("UnabletoClean"), "1");
}

TEST_F(ScanSystemTest, canceledScanShowsNoMessageButRecordsEverything)
{
    threeFindings();
    window.onYield = [](RecordingWindow& w) { w.canceledFlag = true; };
    scan(tree.path("scan"));
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.text(ScanLabel::Label6), "Scan Canceled");
    EXPECT_EQ(window.caption, "Close");
    EXPECT_EQ(window.closes, 0);
    EXPECT_NE(stored("Last Check"), "<absent>");
    EXPECT_NE(stored("DirCount"), "<absent>");
}

TEST_F(ScanSystemTest, silentRunClosesWithoutMessagesOrMainWindow)
{
    threeFindings();
    window.showMain = true;
    ScanSystem(window, scanned = tree.path("scan"), true);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.closes, 1);
    EXPECT_FALSE(window.showMain);
    EXPECT_EQ(stored("Found"), "4");
}

TEST(RetDateTime, formatsWithLeadingZeros)
{
    std::tm newYear{};
    newYear.tm_mday = 1;
    newYear.tm_year = 106;
    EXPECT_EQ(dateText(newYear), "2006-01-01");
    EXPECT_EQ(timeText(newYear), "00:00:00");
    std::tm late{};
    late.tm_sec = 59;
    late.tm_min = 59;
    late.tm_hour = 23;
    late.tm_mday = 12;
    late.tm_mon = 7;
    late.tm_year = 105;
    EXPECT_EQ(dateText(late), "2005-08-12");
    EXPECT_EQ(timeText(late), "23:59:59");
}

}  // namespace
}  // namespace ombrix::test
