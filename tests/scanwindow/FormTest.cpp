#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <optional>
#include <utility>

#include "Fakes.h"
#include "FolderOfPath.h"
#include "RunProgram.h"
#include "Termination.h"

namespace ombrix::test {
namespace {

class FormTest : public ::testing::Test, public FormFixture {
protected:
    static bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }
};

// Keeps a file from being deleted while it lives: the immutable flag for root
// (who may delete anything else), a read-only folder for other users.
class Undeletable {
public:
    explicit Undeletable(const std::string& file) : file_(file), works_(set(true)) {}
    ~Undeletable() { set(false); }
    bool works() const { return works_; }

private:
    bool set(bool on) const
    {
        if (::geteuid() == 0)
            return runProgram({"/usr/bin/chattr", on ? "+i" : "-i", file_}).status == 0;
        return ::chmod(FolderOfPath(file_).c_str(), on ? 0555 : 0755) == 0;
    }
    std::string file_;
    bool works_;
};

TEST_F(FormTest, selectionChangedDuringAYieldDecidesWhatTheFinalPassTreats)
{
    tree.file("scan/a/bad.exe");
    tree.file("scan/b/bad.exe");
    tree.file("scan/c/clean.txt");
    world.onYield = [&] {
        if (form.findings().size() == 2 && form.selectedRow() == 2) {
            ::unlink(row(1).FullPath.c_str());
            ::unlink(row(2).FullPath.c_str());
            form.selectFinding(1, true);
            form.selectFinding(2, false);
        }
    };
    scan();

    EXPECT_EQ(row(1).IconKey, "greenbug");
    EXPECT_EQ(row(2).IconKey, "redbug");
    EXPECT_EQ(text(ScanLabel::Label1), "Fixed:  1");
    EXPECT_EQ(storedResult("UnabletoClean"), "0");
}

// The row made selected last while it stays selected, else the last selected row;
// Open Folder deletes nothing, whatever AutoRepair.
TEST_F(FormTest, aTerminationSignalCancelsAWindowlessScanAtItsNextFolder)
{
    tree.file("scan/a/one.txt");
    tree.file("scan/b/two.txt");
    form.attachView(nullptr);
    EXPECT_EXIT(
        {
            watchTermination();
            std::raise(SIGTERM);
            scan(true);
            std::_Exit(form.canceled && text(ScanLabel::Label2) == "Dirs: 2" ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(FormTest, theMenuActsOnTheRowMadeSelectedLast)
{
    EXPECT_FALSE(form.ListView1_MouseUp(MouseButton::Right)) << "empty list";
    scanTwoFindings();
    const auto opened = [&](std::size_t r) {
        return "open " + tree.path(row(r).VirusName == "Worm.B" ? "scan/b b/" : "scan/a/");
    };
    form.mnuOpenFolder_Click();
    form.selectFinding(1, true);
    form.AutoRepair = 1;
    form.mnuOpenFolder_Click();
    form.selectFinding(1, false);
    form.mnuOpenFolder_Click();
    form.selectFinding(2, false);
    form.mnuOpenFolder_Click();
    EXPECT_EQ(world.log, (Log{opened(2), opened(1), opened(2)}));
    EXPECT_FALSE(form.ListView1_MouseUp(MouseButton::Right)) << "no row selected";
    EXPECT_TRUE(exists(row(1).FullPath) && exists(row(2).FullPath));
}

// Only AutoRepair 1 deletes. Whatever removed the file, its row turns green;
// a file that stays keeps its red row, and with AutoRepair 1 that is reported.
TEST_F(FormTest, deleteThisFileDeletesOnlyWithAutoRepairAndReportsAFileThatStays)
{
    enum class File { Present, Gone, Stuck };
    const struct { int16_t autoRepair; File file; bool deleted; Log log; } cases[] = {
        {2, File::Present, false, {}},
        {2, File::Gone, true, {}},
        {1, File::Present, true, {}},
        {0, File::Stuck, false, {}},
        {1, File::Stuck, false, {"message Unable to kill this file"}},
    };
    for (const auto& c : cases) {
        form.AutoRepair = 0;
        scanTwoFindings();
        const std::string path = row(2).FullPath;
        if (c.file == File::Gone)
            ::unlink(path.c_str());
        std::optional<Undeletable> stuck;
        if (c.file == File::Stuck && !stuck.emplace(path).works())
            GTEST_SKIP() << "this file system cannot keep a file from being deleted";
        form.AutoRepair = c.autoRepair;
        form.mnuDeletethisFile_Click();
        SCOPED_TRACE(testing::Message() << "AutoRepair " << c.autoRepair << ", file " << int(c.file));
        EXPECT_EQ(exists(path), !c.deleted);
        EXPECT_EQ(row(2).IconKey, c.deleted ? "greenbug" : "redbug");
        EXPECT_EQ(text(ScanLabel::Label1), "Fixed:  0");
        EXPECT_EQ(world.log, c.log);
    }
}

TEST_F(FormTest, aFreshShowingStartsFromTheDesignButKeepsTheOptions)
{
    scanTwoFindings();
    form.AutoRepair = 2;
    form.canceled = true;
    form.load();
    EXPECT_EQ(form.findings().size(), 2u) << "still loaded: nothing to reset";

    form.Form_Unload();
    form.load();
    EXPECT_EQ(text(ScanLabel::Label1), "Fixed:  0");
    EXPECT_EQ(form.buttonCaption(), "Cancel");
    EXPECT_TRUE(form.findings().empty());
    EXPECT_FALSE(form.hasColumns());
    EXPECT_EQ(form.AutoRepair, 2);
    EXPECT_TRUE(form.canceled);
}

// Each run starts on a fresh form, over a folder holding `file` and another folder.
// A window closed during the walk lets it go on, shows no message and brings the
// main window back once, like unloading after a run with messages; no run or a
// silent one never brings it back, nor does anything once it has closed for good.
TEST(FormRun, theMainWindowComesBackOnceAfterARunWithMessagesUnlessItIsGone)
{
    const char* bad = "scan/z/bad.exe";
    const char* clean = "scan/z/clean.txt";
    enum Close { Never, AtFirstYield, AfterTheRun };
    const struct { const char* file; bool nomsg; Close close; bool mainGone; Log log; } runs[] = {
        {clean, true, Never, false, {"running", "hide", "ended"}},
        {clean, false, Never, false, {"running", "message Scan Complete - Your Clean", "hide", "show main", "ended"}},
        {bad, false, AfterTheRun, false,
         {"running", "message Scan Complete - Problems were found!", "ended", "hide", "show main"}},
        {bad, false, AtFirstYield, false, {"running", "hide", "show main", "ended"}},
        {clean, false, AtFirstYield, false, {"running", "hide", "show main", "ended"}},
        {bad, false, AtFirstYield, true, {"running", "hide", "ended"}},
    };
    FormFixture idle;
    idle.form.Form_Unload();
    EXPECT_EQ(idle.world.log, Log{"hide"}) << "no run, no main window";
    for (const auto& r : runs) {
        FormFixture run;
        run.tree.file(r.file);
        run.tree.file("scan/y/x.txt");
        run.world.mainClosed = r.mainGone;
        run.world.onYield = [&, closed = false]() mutable {
            if (r.close == AtFirstYield && !std::exchange(closed, true))
                run.form.Form_Unload();
        };
        run.scan(r.nomsg);
        if (r.close == AfterTheRun)
            run.form.Form_Unload();
        SCOPED_TRACE(testing::Message() << "run " << &r - runs);
        EXPECT_EQ(run.world.log, r.log);
        EXPECT_EQ(run.text(ScanLabel::Label2), "Dirs: 3") << "the walk went on to its end";
        EXPECT_EQ(run.storedResult("Found"), r.file == bad ? "2" : "1");
    }
}

}  // namespace
}  // namespace ombrix::test
