#include <sys/mount.h>
#include <unistd.h>

#include <cstdlib>

#include "EngineFixture.h"
#include "MountNamespace.h"
#include "Quarantine.h"

// Links, files that cannot be examined, and removals into the quarantine.
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

// Every road of removal takes the file into the quarantine, recording the road,
// the threat that matched and the list's version; with it off, files are deleted.
// On a tmpfs of the test's own: the quarantine folder goes at the top of its file system.
TEST_F(ScanSystemTest, everyRoadOfRemovalQuarantinesWhatItRemoves)
{
    const struct {
        const char* road;
        bool quarantine;
    } cases[] = {{"immediate repair", true}, {"final pass", true}, {"Delete this File", true},
                 {"immediate repair", false}};
    tree.dir("scan");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.road) + (c.quarantine ? "" : ", quarantine off"));
        const Isolated outcome = inOwnMountNamespace([&] {
            if (::mount("tmpfs", tree.path("scan").c_str(), "tmpfs", 0, nullptr) != 0)
                return Isolated::Unavailable;
            ::setenv("XDG_DATA_HOME", tree.path("data").c_str(), 1);
            signatures("' version 7\r\nTrojan.A\tbad.exe\r\n");
            tree.file("scan/sub/bad.exe", "x");
            mFileSearch::SetQuarantine(c.quarantine);
            mFileSearch::SetProgramName("test");
            window.autoRepairOption = std::string_view(c.road) == "immediate repair";
            const bool repairAtTheEnd = std::string_view(c.road) != "Delete this File";
            window.onYield = [&](RecordingWindow& w) { w.autoRepairOption = repairAtTheEnd; };
            scan(tree.path("scan"));
            if (std::string_view(c.road) == "Delete this File") {
                EXPECT_TRUE(mFileSearch::DeleteFile(tree.path("scan/sub/bad.exe"), "Trojan.A"));
            }
            EXPECT_FALSE(tree.exists("scan/sub/bad.exe"));
            const std::vector<quarantine::Entry> entries = quarantine::List();
            EXPECT_EQ(entries.size(), c.quarantine ? 1u : 0u);
            if (!entries.empty()) {
                const quarantine::Entry& e = entries[0];
                EXPECT_EQ(std::make_tuple(e.originalPath, e.road, e.threat, e.listVersion, e.program, e.size),
                          std::make_tuple(tree.path("scan/sub/bad.exe"), std::string(c.road), std::string("Trojan.A"),
                                          std::string("7"), std::string("test"), std::uint64_t(1)));
            }
            return HasFailure() ? Isolated::Failed : Isolated::Passed;
        });
        if (outcome == Isolated::Unavailable)
            GTEST_SKIP() << "no mount namespace with a tmpfs of its own";
        EXPECT_EQ(outcome, Isolated::Passed);
    }
}

}  // namespace
}  // namespace ombrix::test
