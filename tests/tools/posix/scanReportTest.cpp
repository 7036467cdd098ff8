#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <map>
#include <random>
#include <sstream>
#include <thread>

#include "MountNamespace.h"
#include "ScanToolFixture.h"

// What ombrix-scan tells the tools a fleet already runs: the passed-over line
// and JSON, the Prometheus metrics file and the journal entry.
namespace ombrix::test {
namespace {

bool havePromtool()
{
    return ::system("command -v promtool >/dev/null 2>&1") == 0;
}

class ScanReportTest : public OmbrixScanTest {
protected:
    // Two links to folders, a folder not entered and a file to find.
    void passedOverTree()
    {
        tree.dir("elsewhere");
        tree.file("scan/sub/bad.exe");
        tree.symlink("scan/to-elsewhere", tree.path("elsewhere"));
        tree.symlink("scan/sub/up", tree.path("scan"));
        tree.symlink("scan/.hidden-link", tree.path("elsewhere"));
        tree.symlink("scan/to-file", tree.path("list.ini"));
    }
};

TEST_F(ScanReportTest, plainOutputEndsWithOnePassedOverLineOnlyWhenSomethingWasPassedOver)
{
    tree.file("scan/clean.txt");
    EXPECT_EQ(scan({}).out, "Dirs: 1\nFiles: 1\nDetected:  0\nFixed:  0\nScan Complete - Your Clean\n");
    passedOverTree();
    const ProgramResult all = scan({});
    EXPECT_EQ(all.status, 1);
    EXPECT_EQ(all.out.substr(all.out.find("Dirs:")),
              "Dirs: 2\nFiles: 6\nDetected:  1\nFixed:  0\nScan Complete - Problems were found!\n"
              "Passed over: 2 links to a folder\n");
    const ProgramResult top = scan({"--no-subfolders"});
    EXPECT_EQ(top.status, 0);
    EXPECT_EQ(top.out.substr(top.out.rfind("Scan")),
              "Scan Complete - Your Clean\nPassed over: 1 link to a folder, 1 not entered (subfolders off)\n");
}

TEST_F(ScanReportTest, metricsFileHoldsEveryFigureAndPassesPromtool)
{
    passedOverTree();
    tree.file("list.ini", "' version 42\r\nTrojan.A\tbad.exe\r\n");
    const std::string file = tree.path("out/ombrix.prom");
    tree.dir("out");
    const ProgramResult result = scan({"--quiet", "--metrics-file", file});
    EXPECT_EQ(result.status, 1) << result.err;
    const std::string text = readFile(file);
    const std::string folder = "{folder=\"" + tree.path("scan") + "/\"";
    for (const std::string& sample : std::vector<std::string>{
             "ombrix_scan_folders" + folder + "} 2\n",
             "ombrix_scan_files" + folder + "} 5\n",
             "ombrix_scan_findings" + folder + "} 1\n",
             "ombrix_scan_removed_findings" + folder + "} 0\n",
             "ombrix_scan_unremoved_findings" + folder + "} 1\n",
             "ombrix_scan_passed_over_folders" + folder + ",reason=\"link\"} 2\n",
             "ombrix_scan_passed_over_folders" + folder + ",reason=\"could_not_list\"} 0\n",
             "ombrix_scan_list_entries" + folder + "} 1\n",
             "ombrix_scan_list_version" + folder + "} 42\n",
             "ombrix_scan_exit_status" + folder + "} 1\n",
             std::string("# TYPE ombrix_scan_duration_seconds gauge\n"),
             "# TYPE ombrix_scan_end_timestamp_seconds gauge\n",
         })
        EXPECT_NE(text.find(sample), std::string::npos) << sample << " in\n" << text;
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u) << "a collector running as another user reads it";
    if (!havePromtool())
        GTEST_SKIP() << "promtool is not installed";
    EXPECT_EQ(::system(("promtool check metrics < '" + file + "'").c_str()), 0);
}

TEST_F(ScanReportTest, aMetricsFileThatCannotBeWrittenIsAnErrorToldBeforeTheScan)
{
    tree.file("scan/bad.exe");
    const ProgramResult missing = scan({"--metrics-file", tree.path("no-folder/m.prom")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err.rfind("ombrix-scan: cannot write the metrics file " + tree.path("no-folder/m.prom") + ": ",
                                0),
              0u)
        << missing.err;
    tree.dir("out/m.prom");
    const ProgramResult folder = scan({"--quiet", "--metrics-file", tree.path("out/m.prom")});
    EXPECT_EQ(folder.status, 2) << "the scan's own status gives way to the failure";
    EXPECT_NE(folder.err.find("cannot write the metrics file"), std::string::npos);
}

// Killed at any moment, a scan leaves the last complete file or its own, never a part.
TEST_F(ScanReportTest, aKilledScanLeavesTheOldMetricsFileOrTheNewNeverAPart)
{
    for (int i = 0; i < 200; ++i)
        tree.file("scan/d" + std::to_string(i % 20) + "/f" + std::to_string(i));
    const std::string file = tree.path("out/m.prom");
    tree.file("out/m.prom", "# old\n");
    // The kills are spread over the time a whole run takes here.
    const auto began = std::chrono::steady_clock::now();
    ASSERT_EQ(scan({"--quiet", "--metrics-file", file}).status, 0);
    const auto run = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - began);
    tree.file("out/m.prom", "# old\n");
    std::mt19937 random(7);
    int sawOld = 0, sawNew = 0;
    for (int round = 0; round < 150; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            const std::string list = tree.path("list.ini"), folder = tree.path("scan");
            ::execl(OMBRIX_SCAN_TOOL, OMBRIX_SCAN_TOOL, "--quiet", "--signatures", list.c_str(), "--metrics-file",
                    file.c_str(), folder.c_str(), nullptr);
            std::_Exit(127);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % (run.count() * 5 / 4 + 1)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string text = readFile(file);
        if (text == "# old\n") {
            ++sawOld;
            continue;
        }
        ++sawNew;
        EXPECT_EQ(text.rfind("# HELP ombrix_scan_folders ", 0), 0u) << text;
        EXPECT_NE(text.find("\nombrix_scan_exit_status{"), std::string::npos) << text;
        EXPECT_EQ(text.back(), '\n');
        tree.file("out/m.prom", "# old\n");
    }
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0) << "no kill came late enough to test a finished write";
}

// The entry is read off a journal socket of the test's own, so no real journal sees it.
TEST_F(ScanReportTest, theJournalEntryCarriesEveryFigure)
{
    passedOverTree();
    const Isolated outcome = inOwnMountNamespace([&] {
        if (::mount("tmpfs", "/run", "tmpfs", 0, "mode=0755") != 0 || ::mkdir("/run/systemd", 0755) != 0 ||
            ::mkdir("/run/systemd/journal", 0755) != 0)
            return Isolated::Unavailable;
        const int journal = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, "/run/systemd/journal/socket");
        if (::bind(journal, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            return Isolated::Unavailable;
        const ProgramResult result = scan({"--quiet", "--log"});
        char buffer[65536];
        const ssize_t n = ::recv(journal, buffer, sizeof buffer, MSG_DONTWAIT);
        if (result.status != 1 || n <= 0)
            return Isolated::Failed;
        std::multimap<std::string, std::string> fields;  // a native datagram's NAME=value lines
        std::istringstream lines(std::string(buffer, std::size_t(n)));
        for (std::string line; std::getline(lines, line);)
            if (const auto equals = line.find('='); equals != std::string::npos)
                fields.emplace(line.substr(0, equals), line.substr(equals + 1));
        const std::map<std::string, std::string> expected = {
            {"MESSAGE", "Scan of " + tree.path("scan") + "/: 1 found, 0 removed, 1 not removed; 5 files in 2 folders; "
                                                         "Passed over: 2 links to a folder"},
            {"PRIORITY", "4"},
            {"SYSLOG_IDENTIFIER", "ombrix-scan"},
            {"OMBRIX_FOLDER", tree.path("scan") + "/"},
            {"OMBRIX_FOLDERS", "2"},
            {"OMBRIX_FILES", "5"},
            {"OMBRIX_FINDINGS", "1"},
            {"OMBRIX_REMOVED", "0"},
            {"OMBRIX_UNREMOVED", "1"},
            {"OMBRIX_PASSED_OVER", "2"},
            {"OMBRIX_PASSED_OVER_LINK", "2"},
            {"OMBRIX_PASSED_OVER_COULD_NOT_LIST", "0"},
            {"OMBRIX_LIST_ENTRIES", "2"},
            {"OMBRIX_EXIT_STATUS", "1"},
            {"OMBRIX_CANCELED", "0"},
        };
        // Each field once; the times only need to be there.
        std::map<std::string, std::string> got;
        for (const auto& field : expected)
            got[field.first] = fields.count(field.first) == 1 ? fields.find(field.first)->second : "(not once)";
        for (const char* name : {"OMBRIX_DURATION_SECONDS", "OMBRIX_END_TIMESTAMP_SECONDS"})
            EXPECT_EQ(fields.count(name), 1u) << name;
        EXPECT_EQ(got, expected);
        return HasFailure() ? Isolated::Failed : Isolated::Passed;
    });
    if (outcome == Isolated::Unavailable)
        GTEST_SKIP() << "no mount namespace of the test's own";
    EXPECT_EQ(outcome, Isolated::Passed);
}

}  // namespace
}  // namespace ombrix::test
