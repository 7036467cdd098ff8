#include <gtest/gtest.h>

#include <cerrno>

#include "ScanMetrics.h"
#include "ScanReport.h"

namespace ombrix::test {
namespace {

using Level = SystemLogEntry::Level;

// Warning for a finding, error only for one a removing run left behind.
TEST(ScanLogEntry, levelSaysWhetherSomethingWasFoundAndCouldNotBeRemoved)
{
    struct Case {
        std::size_t rows, stillPresent;
        bool removing;
        Level level;
    };
    for (const Case& c : {Case{0, 0, false, Level::Info}, Case{0, 0, true, Level::Info},
                          Case{2, 2, false, Level::Warning}, Case{2, 0, true, Level::Warning},
                          Case{2, 1, true, Level::Error}}) {
        ScanSummary summary;
        summary.rows = c.rows;
        summary.stillPresent = c.stillPresent;
        summary.removing = c.removing;
        EXPECT_EQ(ScanLogEntry(summary, 0, "test").level, c.level)
            << c.rows << " found, " << c.stillPresent << " left, removing " << c.removing;
    }
}

TEST(ScanMetrics, labelValuesAreEscapedAndNeverAnythingButUtf8)
{
    EXPECT_EQ(MetricLabel("C:\\Users\\\"x\"\nnext"), "C:\\\\Users\\\\\\\"x\\\"\\nnext");
    EXPECT_EQ(MetricLabel("caf\xc3\xa9 caf\xe9"), "caf\xc3\xa9 caf\xEF\xBF\xBD");
}

TEST(ScanMetrics, unlistedFoldersAreSplitByErrorAndTheListVersionOnlyWhenDeclared)
{
    ScanSummary summary;
    summary.folder = "/s/";
    const std::string none = ScanMetrics(summary, 0);
    EXPECT_NE(none.find("ombrix_scan_passed_over_folders{folder=\"/s/\",reason=\"could_not_list\"} 0\n"),
              std::string::npos);
    EXPECT_EQ(none.find("ombrix_scan_list_version"), std::string::npos);
    summary.passedOver.add(PassedOver::Reason::CouldNotList, "/s/a", EACCES);
    summary.passedOver.add(PassedOver::Reason::CouldNotList, "/s/b", EIO);
    summary.passedOver.add(PassedOver::Reason::CouldNotList, "/s/c", EACCES);
    summary.listVersion = 20261206;
    const std::string some = ScanMetrics(summary, 2);
    EXPECT_NE(some.find("{folder=\"/s/\",reason=\"could_not_list\",error=\"" + ErrorName(EACCES) +
                        "\"} 2\nombrix_scan_passed_over_folders{folder=\"/s/\",reason=\"could_not_list\",error=\"" +
                        ErrorName(EIO) + "\"} 1\n"),
              std::string::npos)
        << some;
    EXPECT_NE(some.find("ombrix_scan_list_version{folder=\"/s/\"} 20261206\n"), std::string::npos);
    EXPECT_NE(some.find("ombrix_scan_exit_status{folder=\"/s/\"} 2\n"), std::string::npos);
}

}  // namespace
}  // namespace ombrix::test
